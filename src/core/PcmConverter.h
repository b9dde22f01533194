#pragma once
// Converts 16-bit interleaved PCM to another sample format, rate and channel
// count with libswresample. The output buffer is kept and reused.

#include "core/FfmpegUtil.h"
#include "core/Result.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace core {

class PcmConverter {
public:
    PcmConverter() = default;
    ~PcmConverter();
    PcmConverter(const PcmConverter&) = delete;
    PcmConverter& operator=(const PcmConverter&) = delete;

    Status init(int inRate, int inChannels, AVSampleFormat outFormat, int outRate, int outChannels);

    // Converts inFrames sample frames of interleaved S16 (null: flush what the
    // resampler holds back). Returns the frames now in planes(), -1 on error.
    int convert(const uint8_t* in, int inFrames);
    uint8_t* const* planes() { return planePtrs_.data(); }
    int outBytesPerFrame() const;  // of plane 0

private:
    ff::SwrPtr swr_;
    AVSampleFormat outFormat_ = AV_SAMPLE_FMT_NONE;
    int outChannels_ = 0;
    std::vector<std::vector<uint8_t>> planeData_;
    std::vector<uint8_t*> planePtrs_;
};

}  // namespace core
