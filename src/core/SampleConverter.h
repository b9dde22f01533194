#pragma once
// The one conversion a job's audio goes through on its way to an output:
// rate (soxr), channels (one normalised mixing matrix), sample format, with
// TPDF dither where bits are dropped to 16 or fewer. The WAV writer, the
// encoder pipes and playback all use it. Used by one thread at a time.

#include "core/FfmpegUtil.h"
#include "core/Result.h"

#include <cstdint>
#include <vector>

namespace core {

// Audio as it travels: the decoder hands it on interleaved at the source's
// own precision (S16, S32 or FLT); an output may take any sample format.
struct PcmFormat {
    AVSampleFormat sampleFormat = AV_SAMPLE_FMT_NONE;
    int bits = 0;  // significant bits: 24 for 24-bit audio in S32, 32 for float
    int sampleRate = 0;
    int channels = 0;
    uint64_t channelMask = 0;  // speaker positions; 0: the usual ones for the count

    int frameBytes() const;  // of one plane: all channels when interleaved
    // The native layout of channelMask, else the default for the count.
    AVChannelLayout layout() const;
};

// True when converting in to an output of this rate and channel count
// leaves every sample as it is apart from its width: the same rate, and
// the same channels or mono copied.
bool keepsSamplesExact(const PcmFormat& in, int outRate, int outChannels);

// What an FFmpeg encoder is given: its widest sample format (float first),
// and the bits of it the encoder keeps (24 for 24-bit PCM).
AVSampleFormat encoderSampleFormat(const AVCodec* codec);
int encoderSampleBits(const AVCodec* codec, AVSampleFormat format);

// libswresample set up as every conversion here wants it: soxr at a
// precision that keeps aliases under -100 dB, and in float whatever the
// sample formats.
void setResamplerOptions(SwrContext* swr);

class SampleConverter {
public:
    SampleConverter() = default;
    ~SampleConverter();
    SampleConverter(const SampleConverter&) = delete;
    SampleConverter& operator=(const SampleConverter&) = delete;

    // out.bits is what the output keeps (24 for 24-bit PCM in S32, 8 in U8).
    Status init(const PcmFormat& in, const PcmFormat& out);

    // Converts frames of interleaved input (null: flush what the resampler
    // holds back). Returns the frames now in planes(), -1 on error. Input
    // that needs nothing done comes back as it was, without a copy.
    int convert(const uint8_t* in, int frames);
    const uint8_t* const* planes() const { return planePtrs_.data(); }
    int outBytesPerFrame() const { return out_.frameBytes(); }  // of plane 0
    bool dithers() const { return dither_; }

private:
    void roundTo24Bits(int frames);

    ff::SwrPtr swr_;
    PcmFormat in_;
    PcmFormat out_;
    bool dither_ = false;
    bool roundTo24_ = false;  // S32 written as 24 bits: round, don't let the writer cut
    std::vector<std::vector<uint8_t>> planeData_;
    std::vector<const uint8_t*> planePtrs_;
    std::vector<uint8_t*> outPlanes_;
};

}  // namespace core
