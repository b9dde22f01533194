#include "cli/TotalProgress.h"

#include "core/Decoder.h"

#include <algorithm>

namespace cli {

TotalProgress::TotalProgress(const QStringList& sources)
    : files_(int(sources.size())),
      fractions_(size_t(sources.size()), 0.0),
      seconds_(std::make_unique<std::atomic<double>[]>(size_t(sources.size()))) {
    for (int i = 0; i < files_; ++i) seconds_[size_t(i)] = -1;
    reader_ = std::jthread([this, sources](const std::stop_token& stop) {
        for (int i = 0; i < sources.size() && !stop.stop_requested(); ++i) {
            auto decoder = core::Decoder::open(sources[i]);
            if (!decoder) continue;
            const qint64 bytes = (*decoder)->length();
            const qint64 perSecond = qint64((*decoder)->sampleRate()) * (*decoder)->frameBytes();
            if (bytes > 0 && perSecond > 0) seconds_[size_t(i)] = double(bytes) / double(perSecond);
        }
        allRead_ = true;
    });
}

TotalProgress::~TotalProgress() = default;

void TotalProgress::setFraction(int job, double fraction) {
    if (job >= 0 && job < files_) fractions_[size_t(job)] = std::clamp(fraction, 0.0, 1.0);
}

void TotalProgress::setDone(int job) {
    if (job < 0 || job >= files_) return;
    fractions_[size_t(job)] = 1.0;
    ++done_;
}

QString TotalProgress::text(qint64 elapsedMs) const {
    QString line = QStringLiteral("%1 of %2 files").arg(done_).arg(files_);
    if (!allRead_) return line;
    // Each file weighs what its audio lasts; a file of unknown length weighs nothing.
    double total = 0, converted = 0;
    for (int i = 0; i < files_; ++i) {
        const double s = seconds_[size_t(i)];
        if (s <= 0) continue;
        total += s;
        converted += s * fractions_[size_t(i)];
    }
    if (total <= 0) return line;
    const double share = converted / total;
    line += QStringLiteral(", %1%").arg(int(share * 100));
    if (share >= 0.01 && share < 1 && elapsedMs >= 2000)
        line += QStringLiteral(", %1 left")
                    .arg(clockText(qint64(double(elapsedMs) / 1000 * (1 - share) / share + 0.5)));
    return line;
}

QString clockText(qint64 seconds) {
    const qint64 h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
    const QString mmss =
        QStringLiteral("%1:%2")
            .arg(h > 0 ? QStringLiteral("%1").arg(m, 2, 10, QLatin1Char('0')) : QString::number(m))
            .arg(s, 2, 10, QLatin1Char('0'));
    return h > 0 ? QStringLiteral("%1:%2").arg(h).arg(mmss) : mmss;
}

}  // namespace cli
