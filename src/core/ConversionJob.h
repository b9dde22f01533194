#pragma once
// One source converted to one output: decode, convert, write to the WAV
// writer or the encoder process. run() is a plain read-convert-write loop
// for a worker thread; it reads the stop flag after every block.

#include "core/EncoderSettings.h"
#include "core/OutputRules.h"
#include "core/Result.h"

#include <QByteArray>
#include <QMetaType>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

namespace core {

class Decoder;
class TemporaryOutput;

// What one source becomes.
struct JobSpec {
    QString source;
    std::optional<OutputFormat> format;  // none: the job fails
    EncoderSettings encoder;
    bool sameFolder = true;  // beside the source, else in destination
    QString destination;
    bool copyTags = true;  // the source's tags and cover art into the output
    ExistingOutput existing = ExistingOutput::MakeCopy;
    QString namePattern = {};  // empty: the source's own name
    QString addedFrom = {};    // the folder the source was added from; empty: added on its own
    bool recreateSubFolders = false;  // in the destination, the sub-folder below addedFrom
    ReplayGain replayGain = ReplayGain::Off;
};

struct TrackLoudness;

// Terminated: a stop ended it. Withdrawn: it had begun, but another job's
// failure ended the batch before it wrote anything; its row keeps what it
// showed before. Skipped: its output exists and the batch was told to skip.
enum class JobOutcome { Converted, Failed, Terminated, Withdrawn, Skipped };

struct JobResult {
    JobOutcome outcome = JobOutcome::Failed;
    QString reason;      // why it failed
    QString outputPath;  // where it was (or would have been) written
    QString note;        // what was done differently from what was asked, e.g. the bitrate
    // Converted with ReplayGain: the output's measurement, for its album's gain.
    std::shared_ptr<const TrackLoudness> loudness = {};
};

// The answer to "which WAV format?": the chosen block, none when the person
// cancelled, or withdrawn when the batch no longer wants the job to run.
struct WaveFormatAnswer {
    std::optional<QByteArray> waveFormatEx;
    bool withdrawn = false;
};

inline constexpr qint64 kBlockBytes = 20000;

class ConversionJob {
public:
    // Settings the batch gives every job.
    struct Environment {
        QString encoderFolder;  // lame and oggenc are looked for here, then on the PATH
        int encoderStallTimeoutMs = 15000;
        // Blocks the worker until the WAV format is known.
        std::function<WaveFormatAnswer()> askWaveFormat;
        // Called with the output's folder before anything is written there.
        std::function<void(const QString& folder)> tidyFolder;
    };

    // outputPath: where the output goes, or why it can't go anywhere.
    ConversionJob(JobSpec spec, Result<QString> outputPath, Environment environment);

    // Worker thread: the whole conversion. stop is read after every block.
    // The output is written under a hidden temporary name and renamed into
    // place only once it is complete and checked; otherwise it is removed.
    JobResult run(const std::atomic<bool>& stop);

    // Any thread: source bytes decoded so far and the length (-1 unknown).
    qint64 decodedBytes() const { return decoded_.load(); }
    qint64 lengthBytes() const { return length_.load(); }

private:
    struct Started;
    // The WAV writer or the encoder process, writing to temporary.
    // waveFormat: the WAV writer's format; none for the command-line encoders.
    Result<Started> startEncoder(const Decoder& decoder, const TemporaryOutput& temporary,
                                 const std::optional<QByteArray>& waveFormat,
                                 const std::atomic<bool>& stop);

    JobSpec spec_;
    Result<QString> output_;
    Environment environment_;
    std::atomic<qint64> decoded_{0};
    std::atomic<qint64> length_{-1};
};

}  // namespace core

Q_DECLARE_METATYPE(core::JobResult)
