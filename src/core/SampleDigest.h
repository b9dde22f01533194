#pragma once
// A checksum per block of audio frames, whatever the sample format and
// layout: what a lossless encoder was fed, and what its file decodes to.

extern "C" {
#include <libavutil/frame.h>
}

#include <QString>

#include <cstdint>
#include <vector>

namespace core {

class SampleDigest {
public:
    static constexpr int64_t kBlockFrames = 65536;

    // Integer samples count by their value aligned to the top of the word,
    // so 16-bit audio fed as 32-bit compares equal with 16-bit audio decoded;
    // planar and interleaved frames of the same samples compare equal too.
    // One differing sample always changes its block's checksum.
    void add(const AVFrame& frame);
    void finish();  // closes the last, shorter block

    int64_t frames() const { return frames_; }
    int channels() const { return channels_; }
    const std::vector<uint64_t>& blocks() const { return blocks_; }

    // Independent hash chains per channel, so that the work pipelines.
    static constexpr int kLanes = 4;

private:
    void closeBlock();

    std::vector<uint64_t> lanes_;  // kLanes per channel, of the current block
    std::vector<uint64_t> blocks_;
    int64_t frames_ = 0;
    int channels_ = 0;
};

// Empty when decoded and fed hold the same samples, else the first
// difference for the person ("from 12.3 s on").
QString sampleDifference(const SampleDigest& fed, const SampleDigest& decoded, int sampleRate);

}  // namespace core
