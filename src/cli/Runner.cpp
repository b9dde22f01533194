#include "cli/Runner.h"

#include "core/SignalNotifier.h"

#include <QCoreApplication>

#include <algorithm>

namespace cli {

namespace {

QString oneLine(QString text) {
    text.replace(QLatin1Char('\n'), QStringLiteral("; "));
    return text.isEmpty() ? QStringLiteral("unknown error") : text;
}

}  // namespace

LoopGapMeter::LoopGapMeter() {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        const qint64 now = clock_.nsecsElapsed();
        longestNs_ = std::max(longestNs_, now - lastNs_);
        lastNs_ = now;
    });
    clock_.start();
    timer_.start();
}

Runner::Runner(const Options& options, const QList<core::JobSpec>& jobs, int earlierFailures,
               Console& console)
    : options_(options), jobs_(jobs), console_(console), failures_(earlierFailures) {
    outputs_.resize(jobs.size());
    batch_.setMaxSimultaneous(options.jobs);
    batch_.setStopAtFirstFailure(false);
    if (options.format == core::OutputFormat::Wav) batch_.setWaveFormat(options.waveFormat, true);
    connect(&batch_, &core::Batch::jobStarted, this, &Runner::onJobStarted);
    connect(&batch_, &core::Batch::jobProgress, this, &Runner::onJobProgress);
    connect(&batch_, &core::Batch::jobFinished, this, &Runner::onJobFinished);
    connect(&batch_, &core::Batch::finished, this, &Runner::onFinished);
    if (console_.live()) {
        QStringList sources;
        for (const core::JobSpec& spec : jobs) sources << spec.source;
        total_ = std::make_unique<core::TotalProgress>(sources);
        totalTimer_.setInterval(500);
        connect(&totalTimer_, &QTimer::timeout, this, &Runner::showTotal);
    }
}

Runner::~Runner() = default;

void Runner::start() {
    clock_.start();
    if (options_.reportLoopGap) gapMeter_ = std::make_unique<LoopGapMeter>();
    if (total_) {
        showTotal();
        totalTimer_.start();
    }
    batch_.start(jobs_);
}

void Runner::stopBySignal(int signalNumber) {
    if (signal_ != 0 || !batch_.isRunning()) return;
    signal_ = signalNumber;
    batch_.stop();
    if (total_) console_.status(QStringLiteral("stopping..."));
}

void Runner::onJobStarted(int job, const QString& outputPath) {
    outputs_[job] = outputPath;
}

void Runner::onJobProgress(int job, qint64 decoded, qint64 length) {
    if (total_ && length > 0) total_->setFraction(job, double(decoded) / double(length));
}

void Runner::onJobFinished(int job, const core::JobResult& result) {
    const QString source = quotedForTerminal(jobs_.at(job).source);
    const QString output = quotedForTerminal(result.outputPath);
    if (total_) total_->setDone(job);
    switch (result.outcome) {
        case core::JobOutcome::Converted:
            ++converted_;
            if (!options_.quiet)
                console_.out(QStringLiteral("converted  %1 -> %2%3")
                                 .arg(source, output,
                                      result.note.isEmpty()
                                          ? QString()
                                          : QStringLiteral(" (%1)").arg(result.note)));
            break;
        case core::JobOutcome::Skipped:
            ++skipped_;
            if (!options_.quiet)
                console_.out(QStringLiteral("skipped    %1 (%2 exists)").arg(source, output));
            break;
        case core::JobOutcome::Failed:
            ++failures_;
            console_.err(QStringLiteral("failed     %1: %2").arg(source, oneLine(result.reason)));
            break;
        case core::JobOutcome::Withdrawn:
            ++notStarted_;
            break;
        case core::JobOutcome::Terminated:
            // Files a stop kept from starting are counted, not listed one by one.
            if (outputs_[job].isEmpty()) {
                ++notStarted_;
                break;
            }
            ++terminated_;
            if (!options_.quiet) console_.out(QStringLiteral("terminated %1").arg(source));
            break;
    }
    if (total_) showTotal();
}

void Runner::onFinished() {
    totalTimer_.stop();
    if (total_) {
        const QString skipped =
            skipped_ > 0 ? QStringLiteral(", %1 skipped").arg(skipped_) : QString();
        console_.status(core::summaryText(converted_, failures_, clock_.elapsed()) + skipped);
        console_.keepStatus();
    }
    if (signal_ != 0 && (terminated_ > 0 || notStarted_ > 0))
        console_.err(QStringLiteral("%1: stopped; %2 terminated, %3 not started")
                         .arg(QLatin1String(kProgramName))
                         .arg(terminated_)
                         .arg(notStarted_));
    if (const int leftovers = batch_.unfinishedFilesRemoved(); leftovers > 0)
        console_.err(QStringLiteral("%1: %2").arg(QLatin1String(kProgramName),
                                                  core::unfinishedFilesRemovedText(leftovers)));
    if (gapMeter_)
        console_.err(
            QStringLiteral("longest event-loop gap: %1 ms").arg(gapMeter_->longestMs(), 0, 'f', 1));
    const int status = signal_ != 0    ? core::exitStatusForSignal(signal_)
                       : failures_ > 0 ? int(kSomeFailed)
                                       : int(kAllConverted);
    QCoreApplication::exit(status);
}

void Runner::showTotal() {
    if (signal_ == 0) console_.status(total_->text(clock_.elapsed()));
}

}  // namespace cli
