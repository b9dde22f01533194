#pragma once
// Something that consumes decoded audio (interleaved PCM in the decoder's
// PcmFormat: the source's rate, channels and precision) and produces an
// output file.
// Used by one job's worker thread only.

#include "core/Result.h"

#include <QtGlobal>

#include <cstdint>

namespace core {

class Encoder {
public:
    virtual ~Encoder() = default;
    // Takes a block of audio. False once the encoder can take no more (it
    // exited, or the file can't be written); finish() then says why.
    virtual bool write(const uint8_t* pcm, qint64 bytes) = 0;
    // Completes the output; called once.
    virtual Status finish() = 0;
};

}  // namespace core
