#pragma once
// Runs the batch for the command line: starts it, reports each file as it
// ends, keeps the live total on a terminal, removes what stopped or failed
// jobs left, and ends the event loop with the exit status.

#include "cli/Console.h"
#include "cli/Options.h"
#include "core/Batch.h"
#include "core/TotalProgress.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <memory>

namespace cli {

enum ExitStatus { kAllConverted = 0, kSomeFailed = 1, kBadUsage = 2 };

// The longest time between two turns of the event loop, seen by a 5 ms timer.
class LoopGapMeter {
public:
    LoopGapMeter();
    double longestMs() const { return double(longestNs_) / 1e6; }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 lastNs_ = 0;
    qint64 longestNs_ = 0;
};

class Runner : public QObject {
    Q_OBJECT
public:
    // earlierFailures: arguments that already failed (missing files and the like).
    Runner(const Options& options, const QList<core::JobSpec>& jobs, int earlierFailures,
           Console& console);
    ~Runner() override;

    void start();
    // Stops the running jobs; the exit status becomes 128 + signalNumber.
    void stopBySignal(int signalNumber);

private:
    void onJobStarted(int job, const QString& outputPath);
    void onJobProgress(int job, qint64 decoded, qint64 length);
    void onJobFinished(int job, const core::JobResult& result);
    void onFinished();
    void showTotal();

    const Options& options_;
    QList<core::JobSpec> jobs_;
    Console& console_;
    core::Batch batch_;
    QStringList outputs_;  // per job, once started
    int failures_ = 0;
    int converted_ = 0;
    int skipped_ = 0;
    int terminated_ = 0;
    int notStarted_ = 0;
    int signal_ = 0;
    QElapsedTimer clock_;
    QTimer totalTimer_;
    std::unique_ptr<core::TotalProgress> total_;
    std::unique_ptr<LoopGapMeter> gapMeter_;
};

}  // namespace cli
