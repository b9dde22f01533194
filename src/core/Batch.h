#pragma once
// A batch of conversions: the job list, up to N jobs at once on worker
// threads, started in list order. Lives on the thread that created it (the
// GUI thread in the window, the main thread in the command line); every
// signal is emitted there. Front ends only start, stop, answer and listen.

#include "core/AlbumGain.h"
#include "core/ConversionJob.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>

class QTimer;

namespace core {

enum class BatchEnd {
    Completed,  // every job ran (each converted, or terminated by nothing)
    Stopped,    // stop() was called
    Failed,     // a job failed and the batch stopped starting new ones
};

class Batch : public QObject {
    Q_OBJECT
public:
    explicit Batch(QObject* parent = nullptr);
    // Stops the running jobs after their current block and waits for them.
    ~Batch() override;

    // Where lame and oggenc are looked for before the PATH (default: the
    // program's own folder).
    void setEncoderFolder(const QString& folder);
    void setMaxSimultaneous(int jobs);  // 1 to 16
    // The window ends a batch at its first failure; the command line runs on.
    void setStopAtFirstFailure(bool stop);
    void setEncoderStallTimeout(int ms);
    // How often jobProgress is emitted for each running job.
    void setProgressInterval(int ms);

    // The WAV format offered first, kept across batches: the last one chosen.
    QByteArray waveFormat() const;
    // useForWholeBatch: no question is asked during the next batches.
    void setWaveFormat(const QByteArray& waveFormatEx, bool useForWholeBatch = false);

    // False (nothing happens) while a batch is still running.
    bool start(const QList<JobSpec>& jobs);
    // Any thread: running jobs end after their current block, the rest are terminated.
    void stop();
    bool isRunning() const { return running_; }
    // Temporary files of earlier runs that ended without tidying up (a
    // crash, a kill), found and removed in this batch's output folders.
    int unfinishedFilesRemoved() const { return unfinishedFilesRemoved_.load(); }
    bool stopRequested() const { return stopRequested_.load(); }

    // The answer to waveFormatNeeded. chosen empty: cancelled (the job fails).
    void answerWaveFormat(const std::optional<QByteArray>& chosen, bool useForRestOfBatch);

signals:
    // A job that is skipped (its output exists) is never started: only jobFinished comes.
    void jobStarted(int job, const QString& outputPath);
    // Source bytes decoded so far and the source's length in bytes (-1 unknown).
    void jobProgress(int job, qint64 decoded, qint64 length);
    void jobFinished(int job, const core::JobResult& result);
    // A WAV job needs its format: answer with answerWaveFormat(). Never two at once.
    void waveFormatNeeded(int job, const QByteArray& current);
    void finished(core::BatchEnd end);

private:
    struct RunningJob;
    struct Question {
        int job = 0;
        bool answered = false;
        WaveFormatAnswer answer;
    };

    void schedule();
    void startJob(int index);
    void jobDone(int index, const JobResult& result);
    void emitProgress(int index);
    void tidyFolder(const QString& folder);  // worker threads: once per folder and batch
    void finish();

    // Worker threads: blocks until the question of this job is answered.
    WaveFormatAnswer askWaveFormat(int job);
    void askNext();  // GUI thread: shows the next question, if none is open
    // With questionMutex_ held: a running WAV job before this one has not asked yet.
    bool earlierJobNotAsked(int job) const;
    void withdrawQuestions();

    QList<JobSpec> jobs_;
    QString encoderFolder_;
    int maxSimultaneous_ = 1;
    bool stopAtFirstFailure_ = true;
    int stallTimeoutMs_ = 15000;
    int progressIntervalMs_ = 500;

    bool running_ = false;
    bool failed_ = false;
    int next_ = 0;
    std::atomic<bool> stopRequested_{false};
    std::map<int, std::unique_ptr<RunningJob>> runningJobs_;
    QSet<QString> reservedOutputs_;
    AlbumGain albumGain_;

    // Shared with the workers.
    std::mutex tidyMutex_;
    std::set<QString> tidiedFolders_;
    std::atomic<int> unfinishedFilesRemoved_{0};
    mutable std::mutex questionMutex_;
    std::condition_variable questionAnswered_;
    std::deque<std::shared_ptr<Question>> questions_;
    std::shared_ptr<Question> openQuestion_;
    std::set<int> askedJobs_;  // WAV jobs of this batch that came to their question
    QByteArray waveFormat_;
    bool keepWaveFormat_ = false;  // for the rest of this batch
    bool keepWaveFormatAlways_ = false;
};

// "Removed 2 unfinished files left by an earlier run".
QString unfinishedFilesRemovedText(int count);

}  // namespace core

Q_DECLARE_METATYPE(core::BatchEnd)
