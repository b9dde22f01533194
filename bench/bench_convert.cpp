// Runs the real batch conversion of the main window offscreen, with no
// dialog waiting for anyone, and prints what it cost:
//   bench_convert --out DIR FILE...
// converts every FILE to MP3 (128 kbps, 44100 Hz, stereo) into DIR and prints
// machine-readable lines (key=value): wall time, the longest gap between two
// turns of the event loop while the run was active (and where the longest
// fell), resident memory before the run and at its peak, the CPU time of this
// process and of the encoder processes it ran. Exits non-zero unless every row ends "Converted.".

#include "convert/ConversionRun.h"
#include "gui/Dialogs.h"
#include "gui/MainWindow.h"
#include "gui/StartApplication.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

namespace {

// Answers every dialog at once: messages are recorded, choices are cancelled.
class SilentDialogs final : public gui::Dialogs {
public:
    QStringList messages;

    QStringList getOpenFileNames(QWidget*, const QString&, const QString&) override { return {}; }
    QString browseForFolder(QWidget*) override { return {}; }
    void message(QWidget*, QMessageBox::Icon, const QString&, const QString& text) override {
        messages << text;
    }
    gui::WaveFormatChoice chooseWaveFormat(QWidget*, const QList<core::WaveFormatInfo>&,
                                          const QByteArray&) override {
        return {};
    }
    void openUrl(const QUrl&) override {}
};

// A field of /proc/self/status in MiB ("VmHWM", "VmRSS"); -1 when unreadable.
double procStatusMiB(const char* field) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (!line.startsWith(key)) continue;
        const QList<QByteArray> parts = line.mid(key.size()).simplified().split(' ');
        bool ok = false;
        const double kib = parts.value(0).toDouble(&ok);
        return ok ? kib / 1024.0 : -1;
    }
    return -1;
}

// The longest time between two turns of the event loop: a zero-interval
// timer fires once per turn, including the turns the run's own yields make.
class GapMeter {
public:
    GapMeter() {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
    }
    void start() {
        clock_.start();
        last_ = 0;
        turns_ = 0;
        maxGap_ = 0;
        gaps_.clear();
        timer_.start();
    }
    void stop() {
        timer_.stop();
        tick();  // the stretch from the last turn to the run's return counts too
    }
    double maxGapMs() const { return double(maxGap_) / 1e6; }
    qint64 turns() const { return turns_; }
    // The gap that n percent of the gaps do not exceed.
    double percentileMs(double n) const {
        if (gaps_.empty()) return 0;
        std::vector<qint64> sorted = gaps_;
        const size_t at = std::min(sorted.size() - 1, size_t(double(sorted.size()) * n / 100.0));
        std::nth_element(sorted.begin(), sorted.begin() + qsizetype(at), sorted.end());
        return double(sorted[at]) / 1e6;
    }
    // The longest gaps as "ms@turn", longest first: where in the run they fell.
    QString longest(int count) const {
        std::vector<std::pair<qint64, qsizetype>> byLength;
        for (size_t i = 0; i < gaps_.size(); ++i) byLength.emplace_back(gaps_[i], qsizetype(i));
        const size_t n = std::min(byLength.size(), size_t(count));
        std::partial_sort(byLength.begin(), byLength.begin() + qsizetype(n), byLength.end(),
                          std::greater<>());
        QStringList out;
        for (size_t i = 0; i < n; ++i)
            out << QStringLiteral("%1@%2")
                       .arg(double(byLength[i].first) / 1e6, 0, 'f', 1)
                       .arg(byLength[i].second);
        return out.join(QLatin1Char(','));
    }

private:
    void tick() {
        const qint64 now = clock_.nsecsElapsed();
        gaps_.push_back(now - last_);
        maxGap_ = std::max(maxGap_, now - last_);
        last_ = now;
        ++turns_;
    }
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 maxGap_ = 0;
    qint64 turns_ = 0;
    std::vector<qint64> gaps_;
};

double cpuSeconds(int who) {
    rusage u{};
    if (getrusage(who, &u) != 0) return -1;
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

int usage() {
    std::fprintf(stderr, "usage: bench_convert --out DIR FILE...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    // Settings and the data folder go to a throw-away home; no screen, no sound card.
    QTemporaryDir home;
    if (!home.isValid()) {
        std::fprintf(stderr, "bench_convert: cannot make a temporary home\n");
        return 1;
    }
    qputenv("HOME", QFile::encodeName(home.path()));
    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("XDG_DATA_HOME");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("SDL_AUDIODRIVER", "dummy");
    QApplication qapp(argc, argv);

    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() < 3 || args.takeFirst() != QLatin1String("--out")) return usage();
    const QString outDir = QFileInfo(args.takeFirst()).absoluteFilePath();
    if (!QDir().mkpath(outDir)) {
        std::fprintf(stderr, "bench_convert: cannot make %s\n", qPrintable(outDir));
        return 1;
    }
    QStringList files;
    for (const QString& a : args) files << QFileInfo(a).absoluteFilePath();

    SilentDialogs dialogs;
    std::unique_ptr<gui::Application> app = gui::StartApplication(dialogs);
    if (!app) {
        std::fprintf(stderr, "bench_convert: start failed: %s\n",
                     qPrintable(dialogs.messages.join(QStringLiteral("; "))));
        return 1;
    }
    gui::Form1& form = *app->window;
    form.exitProcess = [] {};
    form.Check2->setChecked(false);
    form.Check1->setChecked(false);
    form.Text2->setText(outDir);
    form.Combo4->setCurrentIndex(1);
    app->state.Bitrate = 128;
    app->state.SampleRate = 44100;
    app->state.Stereo = 1;

    gui::SourceList& list = form.sourceList();
    for (const QString& f : files) {
        if (!list.addSourceFile(f)) {
            std::fprintf(stderr, "bench_convert: not added (missing or empty): %s\n",
                         qPrintable(f));
            return 1;
        }
    }
    QCoreApplication::processEvents();

    const double rssBefore = procStatusMiB("VmRSS");
    const double cpuBefore = cpuSeconds(RUSAGE_SELF);
    const double childCpuBefore = cpuSeconds(RUSAGE_CHILDREN);
    GapMeter gaps;
    QElapsedTimer wall;
    gaps.start();
    wall.start();
    form.m_convert_Click();
    const qint64 elapsedNs = wall.nsecsElapsed();
    gaps.stop();
    const double peak = procStatusMiB("VmHWM");
    const double cpu = cpuSeconds(RUSAGE_SELF) - cpuBefore;
    const double childCpu = cpuSeconds(RUSAGE_CHILDREN) - childCpuBefore;

    int converted = 0;
    for (int row = 0; row < list.count(); ++row) {
        const QString status = list.status(row);
        if (status == QLatin1String(core::kConverted))
            ++converted;
        else
            std::fprintf(stderr, "bench_convert: %s: %s\n", qPrintable(list.path(row)),
                         qPrintable(status));
    }

    std::printf("files=%lld\n", static_cast<long long>(list.count()));
    std::printf("converted=%d\n", converted);
    std::printf("seconds=%.3f\n", double(elapsedNs) / 1e9);
    std::printf("max_gap_ms=%.1f\n", gaps.maxGapMs());
    std::printf("gap_p99_ms=%.1f\n", gaps.percentileMs(99));
    std::printf("longest_gaps_ms_at_turn=%s\n", qPrintable(gaps.longest(5)));
    std::printf("loop_turns=%lld\n", static_cast<long long>(gaps.turns()));
    std::printf("cpu_seconds=%.3f\n", cpu);
    std::printf("encoder_cpu_seconds=%.3f\n", childCpu);
    std::printf("rss_before_mb=%.1f\n", rssBefore);
    std::printf("peak_rss_mb=%.1f\n", peak);
    std::printf("messages=%s\n", qPrintable(dialogs.messages.join(QStringLiteral(" | "))));
    std::fflush(stdout);

    const bool allConverted = converted == list.count() && list.count() == files.size();
    app.reset();
    return allConverted ? 0 : 1;
}
