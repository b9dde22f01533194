#pragma once
// Feeds a command-line encoder (lame, oggenc) on its standard input with
// audio converted to the rate and channels its command line announces.
// Used by one job's worker thread only.

#include "core/ChildProcess.h"
#include "core/Encoder.h"
#include "core/SampleConverter.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace core {

// A command-line encoder and the audio it expects on standard input.
struct CommandEncoder {
    QString program;  // path of the executable, resolved by the caller
    QStringList arguments;
    int sampleRate = 44100;  // audio is converted to this rate
    int channels = 0;        // 1 or 2; 0 keeps the source's channels folded to at most 2
    // A WAV header before the PCM (lame), which says how wide the samples are:
    // float when they carry more than 16 bits. Else headerless 16-bit PCM
    // (oggenc's raw input takes no more), dithered where bits are dropped.
    bool wavHeader = true;
    int outputFd = -1;  // the file written, passed down as encoderOutputPath()
};

// What an encoder's command line names as its output: the file the job
// created and passed down, never a name someone else could take meanwhile.
inline QString encoderOutputPath() {
    return QStringLiteral("/dev/fd/%1").arg(ChildProcess::kPassedFd);
}

class EncoderProcess final : public Encoder {
public:
    static Result<std::unique_ptr<EncoderProcess>> create(const CommandEncoder& cfg,
                                                          const PcmFormat& source);
    ~EncoderProcess() override;

    bool write(const uint8_t* pcm, qint64 bytes) override;
    Status finish() override;

    // How long a write waits for an encoder that takes no input before it
    // is killed and the job fails.
    void setStallTimeout(int ms) { child_.setStallTimeout(ms); }
    // A stop ends the encoder at once, however stalled.
    void setStopFlag(const std::atomic<bool>* stop) { child_.setStopFlag(stop); }

private:
    EncoderProcess() = default;
    bool feed(int frames);

    ChildProcess child_;
    SampleConverter conv_;
    int srcFrameBytes_ = 0;
    int outFrameBytes_ = 0;
    bool broken_ = false;
    bool finished_ = false;
};

// The 44-byte header of a 16-bit PCM (or 32-bit float) WAV whose length is
// not known yet: the sizes are at their maximum so that a reader goes on to
// the end of input.
QByteArray streamingWavHeader(int sampleRate, int channels, bool isFloat = false);

}  // namespace core
