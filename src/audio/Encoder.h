#pragma once
// Something that consumes a decode stream's audio (16-bit interleaved PCM at
// the stream's rate and channels) and produces an output file.

#include "audio/Engine.h"

#include <cstdint>

namespace audio {

class Encoder {
public:
    virtual ~Encoder() = default;
    // Takes a block of audio. Failures are remembered, not raised: the
    // stream keeps decoding and finish() reports them.
    virtual void write(const uint8_t* pcm, qint64 bytes) = 0;
    // Completes the output; called once.
    virtual EncodeOutcome finish() = 0;
};

}  // namespace audio
