#pragma once
// A checksum per block of audio frames, whatever the sample format and
// layout: what a lossless encoder was fed, and what its file decodes to.

extern "C" {
#include <libavutil/frame.h>
}

#include "core/Result.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace core {

class SampleDigest {
public:
    static constexpr int64_t kBlockFrames = 65536;

    // Integer samples count by their value aligned to 32 bits, so 16-bit
    // audio fed as 32-bit compares equal with 16-bit audio decoded.
    void add(const AVFrame& frame);
    void finish();  // closes the last, shorter block

    int64_t frames() const { return frames_; }
    int channels() const { return channels_; }
    const std::vector<uint32_t>& blocks() const { return blocks_; }

private:
    std::vector<int32_t> scratch_;
    std::vector<uint32_t> blocks_;
    uint32_t current_ = 0;
    int64_t frames_ = 0;
    int channels_ = 0;
};

// Empty when decoded and fed hold the same samples, else the first
// difference for the person ("from 12.3 s on").
QString sampleDifference(const SampleDigest& fed, const SampleDigest& decoded, int sampleRate);

// Decodes the file at path and compares every sample with fed. Worker thread.
Status checkSameSamples(const QString& path, const SampleDigest& fed);

}  // namespace core
