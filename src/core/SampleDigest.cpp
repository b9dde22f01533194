#include "core/SampleDigest.h"

extern "C" {
#include <libavutil/samplefmt.h>
}

#include <QCoreApplication>

#include <algorithm>
#include <bit>
#include <cstring>

namespace core {

namespace {

// Each step is a bijection of the state for a given sample and one-to-one
// in the sample for a given state, so a single differing sample always
// leaves a different state behind.
constexpr uint64_t kOddMultiplier = 0x9E3779B97F4A7C15ull;

inline uint64_t step(uint64_t state, uint64_t word) {
    return std::rotl(state ^ word, 32) * kOddMultiplier;
}

inline uint64_t laneSeed(int lane) {
    return uint64_t(lane + 1) * 0xC2B2AE3D27D4EB4Full;
}

// A sample as a 64-bit word: integers aligned to the top, floats by their
// bits (lossless means the same bits).
template <AVSampleFormat Packed>
inline uint64_t word(const uint8_t* p) {
    if constexpr (Packed == AV_SAMPLE_FMT_U8) {
        return uint64_t(*p ^ 0x80) << 56;
    } else if constexpr (Packed == AV_SAMPLE_FMT_S16) {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return uint64_t(v) << 48;
    } else if constexpr (Packed == AV_SAMPLE_FMT_S32 || Packed == AV_SAMPLE_FMT_FLT) {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return uint64_t(v) << 32;
    } else {
        static_assert(Packed == AV_SAMPLE_FMT_S64 || Packed == AV_SAMPLE_FMT_DBL);
        uint64_t v;
        std::memcpy(&v, p, 8);
        return v;
    }
}

template <AVSampleFormat Packed>
constexpr ptrdiff_t kSampleBytes = Packed == AV_SAMPLE_FMT_U8                                   ? 1
                                   : Packed == AV_SAMPLE_FMT_S16                                ? 2
                                   : Packed == AV_SAMPLE_FMT_S32 || Packed == AV_SAMPLE_FMT_FLT ? 4
                                                                                                : 8;

// n samples of one channel, stride bytes apart, the first at frame position
// pos of the block: frame pos + i goes to lane (pos + i) % kLanes.
template <AVSampleFormat Packed>
void hashChannel(uint64_t* lanes, const uint8_t* p, ptrdiff_t stride, int64_t n, int64_t pos) {
    constexpr int kLanes = SampleDigest::kLanes;
    static_assert(kLanes == 4 && SampleDigest::kBlockFrames % kLanes == 0);
    int64_t i = 0;
    for (; i < n && (pos + i) % kLanes != 0; ++i)
        lanes[(pos + i) % kLanes] = step(lanes[(pos + i) % kLanes], word<Packed>(p + i * stride));
    uint64_t a = lanes[0], b = lanes[1], c = lanes[2], d = lanes[3];
    for (; i + kLanes <= n; i += kLanes) {
        const uint8_t* q = p + i * stride;
        a = step(a, word<Packed>(q));
        b = step(b, word<Packed>(q + stride));
        c = step(c, word<Packed>(q + 2 * stride));
        d = step(d, word<Packed>(q + 3 * stride));
    }
    lanes[0] = a, lanes[1] = b, lanes[2] = c, lanes[3] = d;
    for (; i < n; ++i)
        lanes[(pos + i) % kLanes] = step(lanes[(pos + i) % kLanes], word<Packed>(p + i * stride));
}

// Frames first .. first + n of frame, each channel into its own lanes.
template <AVSampleFormat Packed>
void hashFrames(uint64_t* lanes, const AVFrame& frame, int64_t first, int64_t n, int64_t pos) {
    constexpr ptrdiff_t bytes = kSampleBytes<Packed>;
    const int channels = frame.ch_layout.nb_channels;
    const bool planar = av_sample_fmt_is_planar(AVSampleFormat(frame.format));
    for (int ch = 0; ch < channels; ++ch) {
        uint64_t* own = lanes + ch * SampleDigest::kLanes;
        if (planar)
            hashChannel<Packed>(own, frame.extended_data[ch] + first * bytes, bytes, n, pos);
        else
            hashChannel<Packed>(own, frame.extended_data[0] + (first * channels + ch) * bytes,
                                bytes * channels, n, pos);
    }
}

using HashFrames = void (*)(uint64_t*, const AVFrame&, int64_t, int64_t, int64_t);

// The loop for a packed format among Packed (every packed format is listed).
template <AVSampleFormat... Packed>
HashFrames hasherOf(AVSampleFormat packed) {
    HashFrames hash = nullptr;
    ((hash = packed == Packed ? hashFrames<Packed> : hash), ...);
    return hash;
}

}  // namespace

void SampleDigest::add(const AVFrame& frame) {
    const int channels = frame.ch_layout.nb_channels;
    channels_ = channels;
    if (lanes_.size() < size_t(channels) * kLanes) {
        const size_t had = lanes_.size();
        lanes_.resize(size_t(channels) * kLanes);
        for (size_t i = had; i < lanes_.size(); ++i) lanes_[i] = laneSeed(int(i));
    }
    // The sample layout is settled once per frame, not per sample.
    const HashFrames hash = hasherOf<AV_SAMPLE_FMT_U8, AV_SAMPLE_FMT_S16, AV_SAMPLE_FMT_S32,
                                     AV_SAMPLE_FMT_FLT, AV_SAMPLE_FMT_S64, AV_SAMPLE_FMT_DBL>(
        av_get_packed_sample_fmt(AVSampleFormat(frame.format)));
    int64_t done = 0;
    while (done < frame.nb_samples) {
        // Up to the end of the current block.
        const int64_t pos = frames_ % kBlockFrames;
        const int64_t n = std::min<int64_t>(kBlockFrames - pos, frame.nb_samples - done);
        if (hash) hash(lanes_.data(), frame, done, n, pos);
        frames_ += n;
        done += n;
        if (frames_ % kBlockFrames == 0) closeBlock();
    }
}

void SampleDigest::closeBlock() {
    uint64_t block = 0;
    for (size_t i = 0; i < lanes_.size(); ++i) {
        block = step(block, lanes_[i]);
        lanes_[i] = laneSeed(int(i));
    }
    blocks_.push_back(block);
}

void SampleDigest::finish() {
    if (frames_ % kBlockFrames != 0) closeBlock();
}

QString sampleDifference(const SampleDigest& fed, const SampleDigest& decoded, int sampleRate) {
    const auto at = [sampleRate](int64_t frame) {
        return QString::number(double(frame) / sampleRate, 'f', 2);
    };
    if (decoded.channels() != fed.channels() && fed.frames() > 0)
        return QCoreApplication::translate("core", "it decodes to %1 channels, %2 were encoded")
            .arg(decoded.channels())
            .arg(fed.channels());
    if (decoded.frames() != fed.frames())
        return QCoreApplication::translate("core",
                                           "it decodes to %1 samples per channel, %2 were encoded")
            .arg(decoded.frames())
            .arg(fed.frames());
    for (size_t i = 0; i < fed.blocks().size(); ++i)
        if (fed.blocks()[i] != decoded.blocks()[i])
            return QCoreApplication::translate("core", "its samples differ from %1 s on")
                .arg(at(int64_t(i) * SampleDigest::kBlockFrames));
    return {};
}

}  // namespace core
