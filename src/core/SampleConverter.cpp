#include "core/SampleConverter.h"

#include <QCoreApplication>

extern "C" {
#include <libavutil/opt.h>
}

#include <cmath>
#include <cstring>
#include <limits>

namespace core {

namespace {

// soxr's precision in bits: its stopband lies this far down (6 dB a bit),
// well under the -100 dB asked of every alias. More costs CPU for nothing
// a listener or a 16-bit output could keep.
constexpr double kResamplerPrecisionBits = 20;
// Where the flat passband ends, as a fraction of the lower Nyquist
// frequency: flat within 0.01 dB up to it, fully stopped at Nyquist.
constexpr double kPassbandEnd = 0.95;

// The coefficients of the one mixing matrix: the usual downmix (centre and
// surrounds at -3 dB, LFE left out), scaled so that no output channel's
// coefficients add up to more than 1: a full-scale source stays within
// full scale in every sample format. Mono goes to every channel at unity.
Status setMixingMatrix(SwrContext* swr, const AVChannelLayout& in, const AVChannelLayout& out) {
    const int inChannels = in.nb_channels;
    // Its normalisation walks a whole 64 x 64 matrix, whatever the layouts.
    constexpr int kStride = 64;
    std::vector<double> matrix(size_t(kStride) * kStride);
    int ret = swr_build_matrix2(&in, &out, M_SQRT1_2, M_SQRT1_2, 0.0, 1.0, 1.0, matrix.data(),
                                kStride, AV_MATRIX_ENCODING_NONE, nullptr);
    if (ret >= 0 && inChannels == 1)
        for (double& m : matrix)
            if (m != 0) m = 1.0;
    if (ret >= 0) ret = swr_set_matrix(swr, matrix.data(), kStride);
    if (ret < 0)
        return Failure{QCoreApplication::translate("core", "%1 channels can't be mixed to %2")
                           .arg(inChannels)
                           .arg(out.nb_channels)};
    return {};
}

}  // namespace

int PcmFormat::frameBytes() const {
    const int bytes = av_get_bytes_per_sample(sampleFormat);
    return av_sample_fmt_is_planar(sampleFormat) ? bytes : bytes * channels;
}

AVChannelLayout PcmFormat::layout() const {
    AVChannelLayout l{};
    if (channelMask != 0 && av_channel_layout_from_mask(&l, channelMask) == 0 &&
        l.nb_channels == channels)
        return l;
    av_channel_layout_uninit(&l);
    av_channel_layout_default(&l, channels);
    return l;
}

AVSampleFormat encoderSampleFormat(const AVCodec* codec) {
    if (!codec->sample_fmts) return AV_SAMPLE_FMT_S16;
    const auto rank = [](AVSampleFormat f) {
        switch (av_get_packed_sample_fmt(f)) {
            case AV_SAMPLE_FMT_FLT:
                return 3;
            case AV_SAMPLE_FMT_S32:
                return 2;
            case AV_SAMPLE_FMT_S16:
                return 1;
            default:
                return 0;
        }
    };
    AVSampleFormat best = codec->sample_fmts[0];
    for (const AVSampleFormat* f = codec->sample_fmts; *f != AV_SAMPLE_FMT_NONE; ++f)
        if (rank(*f) > rank(best)) best = *f;
    return best;
}

int encoderSampleBits(const AVCodec* codec, AVSampleFormat format) {
    const int width = av_get_bytes_per_sample(format) * 8;
    // Linear PCM narrower than its sample format (24 bits in S32); A-law and
    // mu-law code 8 bits but take 16-bit samples.
    const int coded = av_get_exact_bits_per_sample(codec->id);
    const bool linear = codec->id != AV_CODEC_ID_PCM_ALAW && codec->id != AV_CODEC_ID_PCM_MULAW;
    return linear && coded > 8 && coded < width ? coded : width;
}

bool keepsSamplesExact(const PcmFormat& in, int outRate, int outChannels) {
    return in.sampleRate == outRate && (in.channels == outChannels || in.channels == 1);
}

void setResamplerOptions(SwrContext* swr) {
    av_opt_set_int(swr, "resampler", SWR_ENGINE_SOXR, 0);
    av_opt_set_double(swr, "precision", kResamplerPrecisionBits, 0);
    av_opt_set_double(swr, "cutoff", kPassbandEnd, 0);
}

SampleConverter::~SampleConverter() = default;

Status SampleConverter::init(const PcmFormat& in, const PcmFormat& out) {
    in_ = in;
    out_ = out;
    swr_.reset();
    const bool exact = keepsSamplesExact(in, out.sampleRate, out.channels);
    const int carried = exact ? in.bits : std::numeric_limits<int>::max();
    // Dither only where bits are dropped to 16 or fewer: a 16-bit source
    // written at 16 bits stays bit for bit what it was.
    dither_ = out.bits <= 16 && carried > out.bits;
    const AVSampleFormat packedOut = av_get_packed_sample_fmt(out.sampleFormat);
    roundTo24_ = packedOut == AV_SAMPLE_FMT_S32 && out.bits == 24 && carried > 24;
    const int planes = av_sample_fmt_is_planar(out.sampleFormat) ? out.channels : 1;
    planeData_.assign(size_t(planes), {});
    planePtrs_.assign(size_t(planes), nullptr);
    outPlanes_.assign(size_t(planes), nullptr);
    if (in.sampleFormat == out.sampleFormat && in.sampleRate == out.sampleRate &&
        in.channels == out.channels && !dither_)
        return {};  // nothing to do but perhaps rounding

    AVChannelLayout inLayout = in.layout();
    // The same channel count passes through as it is, whatever the speakers are called.
    AVChannelLayout outLayout = out.channels == in.channels ? in.layout() : out.layout();
    SwrContext* raw = nullptr;
    int ret = swr_alloc_set_opts2(&raw, &outLayout, out.sampleFormat, out.sampleRate, &inLayout,
                                  in.sampleFormat, in.sampleRate, 0, nullptr);
    swr_.reset(raw);
    Status mixed;
    if (ret >= 0) {
        setResamplerOptions(swr_.get());
        av_opt_set_sample_fmt(swr_.get(), "internal_sample_fmt", AV_SAMPLE_FMT_FLTP, 0);
        if (dither_) av_opt_set_int(swr_.get(), "dither_method", SWR_DITHER_TRIANGULAR, 0);
        if (in.channels != out.channels) mixed = setMixingMatrix(swr_.get(), inLayout, outLayout);
    }
    av_channel_layout_uninit(&inLayout);
    av_channel_layout_uninit(&outLayout);
    if (!mixed) return mixed;
    if (ret >= 0) ret = swr_init(swr_.get());
    if (ret < 0) return Failure{ff::logError("swr_init", ret, ff::Side::Writing)};
    return {};
}

void SampleConverter::roundTo24Bits(int frames) {
    const size_t count = size_t(frames) * size_t(out_.frameBytes()) / sizeof(int32_t);
    for (std::vector<uint8_t>& plane : planeData_) {
        auto* samples = reinterpret_cast<int32_t*>(plane.data());
        for (size_t i = 0; i < count; ++i) {
            const int32_t v = samples[i];
            samples[i] = v > std::numeric_limits<int32_t>::max() - 128 ? int32_t(0x7fffff00)
                                                                       : (v + 128) & ~0xff;
        }
    }
}

int SampleConverter::convert(const uint8_t* in, int frames) {
    const size_t outBytes = size_t(out_.frameBytes());
    if (!swr_) {
        if (!in || frames <= 0) return 0;
        if (!roundTo24_) {
            planePtrs_[0] = in;
            return frames;
        }
        const size_t need = size_t(frames) * outBytes;
        if (planeData_[0].size() < need) planeData_[0].resize(need);
        std::memcpy(planeData_[0].data(), in, need);
        planePtrs_[0] = planeData_[0].data();
        roundTo24Bits(frames);
        return frames;
    }
    const int outMax = swr_get_out_samples(swr_.get(), in ? frames : 0);
    if (outMax <= 0) return 0;
    const size_t need = size_t(outMax) * outBytes;
    for (size_t i = 0; i < planeData_.size(); ++i) {
        if (planeData_[i].size() < need) planeData_[i].resize(need);
        outPlanes_[i] = planeData_[i].data();
        planePtrs_[i] = planeData_[i].data();
    }
    const uint8_t* inPlanes[1] = {in};
    const int got = swr_convert(swr_.get(), outPlanes_.data(), outMax, in ? inPlanes : nullptr,
                                in ? frames : 0);
    if (got < 0) {
        ff::logError("swr_convert", got, ff::Side::Writing);
        return -1;
    }
    if (roundTo24_) roundTo24Bits(got);
    return got;
}

}  // namespace core
