#pragma once
// Feeds a command-line encoder (lame, oggenc) on its standard input with
// audio converted to the rate and channels its command line announces.

#include "audio/ChildProcess.h"
#include "audio/Encoder.h"
#include "audio/PcmConverter.h"

#include <memory>

namespace audio {

class EncoderProcess final : public Encoder {
public:
    static std::unique_ptr<EncoderProcess> create(const CommandEncoder& cfg, int srcRate,
                                                  int srcChannels, QString* error);
    ~EncoderProcess() override;

    void write(const uint8_t* pcm, qint64 bytes) override;
    EncodeOutcome finish() override;

private:
    EncoderProcess() = default;
    void feed(int frames);

    ChildProcess child_;
    PcmConverter conv_;
    int srcFrameBytes_ = 0;
    int outFrameBytes_ = 0;
    bool broken_ = false;
    bool finished_ = false;
};

// The 44-byte header of a 16-bit PCM WAV whose length is not known yet: the
// sizes are at their maximum so that a reader goes on to the end of input.
QByteArray streamingWavHeader(int sampleRate, int channels);

}  // namespace audio
