#include "core/TotalProgress.h"

#include "core/Decoder.h"

#include <QCoreApplication>

#include <algorithm>

namespace core {

namespace {

constexpr double kLeastShareForPace = 0.01;
constexpr qint64 kLeastMsForPace = 2000;

}  // namespace

TotalProgress::TotalProgress(const QStringList& sources)
    : files_(int(sources.size())),
      fractions_(size_t(sources.size()), 0.0),
      seconds_(std::make_unique<std::atomic<double>[]>(size_t(sources.size()))) {
    for (int i = 0; i < files_; ++i) seconds_[size_t(i)] = -1;
    reader_ = std::jthread([this, sources](const std::stop_token& stop) {
        for (int i = 0; i < sources.size() && !stop.stop_requested(); ++i) {
            auto decoder = Decoder::open(sources[i]);
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

std::optional<double> TotalProgress::weightedShare() const {
    if (!allRead_) return std::nullopt;
    double total = 0, converted = 0;
    for (int i = 0; i < files_; ++i) {
        const double s = seconds_[size_t(i)];
        if (s <= 0) continue;
        total += s;
        converted += s * fractions_[size_t(i)];
    }
    if (total <= 0) return std::nullopt;
    return converted / total;
}

double TotalProgress::share() const {
    if (const auto weighted = weightedShare()) return *weighted;
    if (files_ == 0) return 0;
    double sum = 0;
    for (const double f : fractions_) sum += f;
    return sum / files_;
}

std::optional<qint64> TotalProgress::secondsLeft(qint64 elapsedMs) const {
    const auto weighted = weightedShare();
    if (!weighted || *weighted < kLeastShareForPace || *weighted >= 1 ||
        elapsedMs < kLeastMsForPace)
        return std::nullopt;
    return qint64(double(elapsedMs) / 1000 * (1 - *weighted) / *weighted + 0.5);
}

QString TotalProgress::text(qint64 elapsedMs) const {
    QString line = QStringLiteral("%1 of %2 files").arg(done_).arg(files_);
    const auto weighted = weightedShare();
    if (!weighted) return line;
    line += QStringLiteral(", %1%").arg(int(*weighted * 100));
    if (const auto left = secondsLeft(elapsedMs))
        line += QStringLiteral(", %1 left").arg(clockText(*left));
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

QString summaryText(int converted, int failed, qint64 elapsedMs) {
    const QString time = clockText(elapsedMs / 1000);
    if (failed == 0)
        return (converted == 1 ? QCoreApplication::translate("core", "%1 file converted in %2")
                               : QCoreApplication::translate("core", "%1 files converted in %2"))
            .arg(converted)
            .arg(time);
    return QCoreApplication::translate("core", "%1 converted, %2 failed in %3")
        .arg(converted)
        .arg(failed)
        .arg(time);
}

}  // namespace core
