#include "core/Batch.h"

#include "core/OutputFile.h"
#include "core/OutputNaming.h"
#include "core/Settings.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <thread>

namespace core {

struct Batch::RunningJob {
    std::unique_ptr<ConversionJob> job;
    QString outputPath;
    std::unique_ptr<QTimer> progressTimer;
    std::jthread thread;  // last: joined before the job it runs goes away
};

Batch::Batch(QObject* parent)
    : QObject(parent),
      encoderFolder_(QCoreApplication::applicationDirPath()),
      maxSimultaneous_(defaultSimultaneousConversions()) {
    qRegisterMetaType<core::JobResult>();
    qRegisterMetaType<core::BatchEnd>();
    // First of the receivers: an album's tags follow its last job.
    connect(this, &Batch::jobFinished, this, [this](int job, const JobResult& result) {
        albumGain_.jobEnded(jobs_.at(job), result);
    });
}

Batch::~Batch() {
    stopRequested_ = true;
    withdrawQuestions();
    {
        std::lock_guard lock(questionMutex_);
        if (openQuestion_) {
            openQuestion_->answered = true;
            openQuestion_->answer.withdrawn = true;
            openQuestion_.reset();
        }
    }
    questionAnswered_.notify_all();
    for (auto& [index, running] : runningJobs_)
        if (running->thread.joinable()) running->thread.join();
    runningJobs_.clear();
}

void Batch::setEncoderFolder(const QString& folder) {
    encoderFolder_ = folder;
}

void Batch::setMaxSimultaneous(int jobs) {
    maxSimultaneous_ = std::clamp(jobs, 1, kMaxSimultaneousConversions);
}

void Batch::setStopAtFirstFailure(bool stop) {
    stopAtFirstFailure_ = stop;
}

void Batch::setEncoderStallTimeout(int ms) {
    stallTimeoutMs_ = ms;
}

void Batch::setProgressInterval(int ms) {
    progressIntervalMs_ = ms;
}

QByteArray Batch::waveFormat() const {
    std::lock_guard lock(questionMutex_);
    return waveFormat_;
}

void Batch::setWaveFormat(const QByteArray& waveFormatEx, bool useForWholeBatch) {
    std::lock_guard lock(questionMutex_);
    waveFormat_ = waveFormatEx;
    keepWaveFormatAlways_ = useForWholeBatch;
}

bool Batch::start(const QList<JobSpec>& jobs) {
    if (running_) return false;  // a stopped batch may still be winding down
    jobs_ = jobs;
    reservedOutputs_.clear();
    albumGain_.begin(jobs_);
    next_ = 0;
    failed_ = false;
    stopRequested_ = false;
    {
        std::lock_guard lock(questionMutex_);
        keepWaveFormat_ = false;
        askedJobs_.clear();
    }
    {
        std::lock_guard lock(tidyMutex_);
        tidiedFolders_.clear();
    }
    unfinishedFilesRemoved_ = 0;
    running_ = true;
    schedule();
    return true;
}

void Batch::stop() {
    stopRequested_ = true;
    {
        std::lock_guard lock(questionMutex_);  // a waiting worker sees the flag
    }
    questionAnswered_.notify_all();
    QMetaObject::invokeMethod(
        this,
        [this] {
            withdrawQuestions();
            schedule();
        },
        Qt::QueuedConnection);
}

void Batch::schedule() {
    if (!running_) return;
    const bool halted = stopRequested_ || failed_;
    while (!halted && int(runningJobs_.size()) < maxSimultaneous_ && next_ < jobs_.size())
        startJob(next_++);
    if (!runningJobs_.empty()) return;
    // Rows a stop kept from starting are terminated; after a failure they keep their status.
    if (stopRequested_ && !failed_) {
        while (next_ < jobs_.size()) {
            const int index = next_++;
            emit jobFinished(index, JobResult{JobOutcome::Terminated, {}, {}, {}});
        }
    }
    if (next_ >= jobs_.size() || halted) finish();
}

void Batch::startJob(int index) {
    const JobSpec& spec = jobs_.at(index);
    // A blank destination would name the root folder: the job fails instead.
    const bool noDestination = !spec.sameFolder && spec.destination.trimmed().isEmpty();
    const OutputPlan plan = noDestination ? OutputPlan{} : planOutput(spec, reservedOutputs_);
    const Result<QString> output = noDestination
                                       ? Result<QString>(Failure{QCoreApplication::translate(
                                             "core", "Choose a destination folder")})
                                       : Result<QString>(plan.path);
    const QString outputPath = plan.path;
    reservedOutputs_.insert(outputPath);  // a skipped name stays reserved for the whole batch
    if (plan.skip) {
        emit jobFinished(index, JobResult{JobOutcome::Skipped, {}, outputPath, {}});
        return;
    }

    ConversionJob::Environment environment;
    environment.encoderFolder = encoderFolder_;
    environment.encoderStallTimeoutMs = stallTimeoutMs_;
    environment.askWaveFormat = [this, index] { return askWaveFormat(index); };
    environment.tidyFolder = [this](const QString& folder) { tidyFolder(folder); };

    auto running = std::make_unique<RunningJob>();
    running->job = std::make_unique<ConversionJob>(spec, output, std::move(environment));
    running->outputPath = outputPath;
    running->progressTimer = std::make_unique<QTimer>(this);  // a child, as every timer of ours
    running->progressTimer->setInterval(progressIntervalMs_);
    connect(running->progressTimer.get(), &QTimer::timeout, this,
            [this, index] { emitProgress(index); });
    RunningJob& job = *running;
    runningJobs_[index] = std::move(running);

    emit jobStarted(index, outputPath);
    job.progressTimer->start();
    ConversionJob* work = job.job.get();
    job.thread = std::jthread([this, index, work] {
        const JobResult result = work->run(stopRequested_);
        QMetaObject::invokeMethod(
            this, [this, index, result] { jobDone(index, result); }, Qt::QueuedConnection);
    });
}

QString unfinishedFilesRemovedText(int count) {
    return count == 1 ? QCoreApplication::translate(
                            "core", "Removed 1 unfinished file left by an earlier run")
                      : QCoreApplication::translate(
                            "core", "Removed %1 unfinished files left by an earlier run")
                            .arg(count);
}

void Batch::tidyFolder(const QString& folder) {
    {
        std::lock_guard lock(tidyMutex_);
        if (!tidiedFolders_.insert(folder).second) return;
    }
    unfinishedFilesRemoved_ += removeUnfinishedOutputs(folder);
}

void Batch::emitProgress(int index) {
    const auto it = runningJobs_.find(index);
    if (it == runningJobs_.end()) return;
    const ConversionJob& job = *it->second->job;
    emit jobProgress(index, job.decodedBytes(), job.lengthBytes());
}

void Batch::jobDone(int index, const JobResult& result) {
    const auto it = runningJobs_.find(index);
    if (it == runningJobs_.end()) return;
    it->second->thread.join();  // it has posted its result: this is its last step
    reservedOutputs_.remove(it->second->outputPath);
    runningJobs_.erase(it);
    if (result.outcome == JobOutcome::Failed && stopAtFirstFailure_) {
        failed_ = true;
        withdrawQuestions();
    }
    emit jobFinished(index, result);
    schedule();
    askNext();  // a question may have waited for this job
}

void Batch::finish() {
    running_ = false;
    {
        std::lock_guard lock(questionMutex_);
        keepWaveFormat_ = false;
    }
    const BatchEnd end = failed_          ? BatchEnd::Failed
                         : stopRequested_ ? BatchEnd::Stopped
                                          : BatchEnd::Completed;
    albumGain_.wait();  // the last album's tags, written as its last job ended
    emit finished(end);
}

WaveFormatAnswer Batch::askWaveFormat(int job) {
    std::unique_lock lock(questionMutex_);
    askedJobs_.insert(job);
    if (keepWaveFormat_ || keepWaveFormatAlways_) return WaveFormatAnswer{waveFormat_, false};
    auto question = std::make_shared<Question>();
    question->job = job;
    questions_.push_back(question);
    QMetaObject::invokeMethod(
        this, [this] { askNext(); }, Qt::QueuedConnection);
    questionAnswered_.wait(lock, [&] { return question->answered || stopRequested_.load(); });
    if (!question->answered) return WaveFormatAnswer{std::nullopt, true};
    return question->answer;
}

void Batch::askNext() {
    std::shared_ptr<Question> ask;
    QByteArray current;
    {
        std::lock_guard lock(questionMutex_);
        if (openQuestion_) return;  // never two questions at once
        while (!questions_.empty() && !ask) {
            // In list order: the lowest job first, and not before every running
            // WAV job ahead of it has come to its own question.
            const auto first =
                std::min_element(questions_.begin(), questions_.end(),
                                 [](const auto& a, const auto& b) { return a->job < b->job; });
            std::shared_ptr<Question> q = *first;
            if (keepWaveFormat_ || keepWaveFormatAlways_) {
                q->answer = WaveFormatAnswer{waveFormat_, false};
                q->answered = true;
            } else if (stopRequested_ || failed_) {
                q->answer.withdrawn = true;
                q->answered = true;
            } else if (earlierJobNotAsked(q->job)) {
                break;  // asked once that job asks or ends
            } else {
                openQuestion_ = ask = q;
                current = waveFormat_;
            }
            questions_.erase(first);
        }
    }
    questionAnswered_.notify_all();
    if (ask) emit waveFormatNeeded(ask->job, current);
}

bool Batch::earlierJobNotAsked(int job) const {
    for (const auto& [index, running] : runningJobs_) {
        if (index >= job) break;
        if (jobs_.at(index).format == OutputFormat::Wav && !askedJobs_.contains(index)) return true;
    }
    return false;
}

void Batch::answerWaveFormat(const std::optional<QByteArray>& chosen, bool useForRestOfBatch) {
    {
        std::lock_guard lock(questionMutex_);
        if (!openQuestion_) return;  // withdrawn meanwhile
        if (chosen) {
            waveFormat_ = *chosen;
            keepWaveFormat_ = useForRestOfBatch;
        }
        openQuestion_->answer = WaveFormatAnswer{chosen, false};
        openQuestion_->answered = true;
        openQuestion_.reset();
    }
    // A cancel fails its job; a batch that ends at a failure asks no one else.
    if (!chosen && stopAtFirstFailure_) {
        failed_ = true;
        withdrawQuestions();
    }
    questionAnswered_.notify_all();
    QMetaObject::invokeMethod(
        this, [this] { askNext(); }, Qt::QueuedConnection);
}

void Batch::withdrawQuestions() {
    {
        std::lock_guard lock(questionMutex_);
        for (const std::shared_ptr<Question>& q : questions_) {
            q->answer.withdrawn = true;
            q->answered = true;
        }
        questions_.clear();
    }
    questionAnswered_.notify_all();
}

}  // namespace core
