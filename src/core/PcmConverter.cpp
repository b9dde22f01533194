#include "core/PcmConverter.h"

namespace core {

PcmConverter::~PcmConverter() = default;

Status PcmConverter::init(int inRate, int inChannels, AVSampleFormat outFormat, int outRate,
                          int outChannels) {
    AVChannelLayout inLayout{}, outLayout{};
    av_channel_layout_default(&inLayout, inChannels);
    av_channel_layout_default(&outLayout, outChannels);
    SwrContext* raw = nullptr;
    int ret = swr_alloc_set_opts2(&raw, &outLayout, outFormat, outRate, &inLayout,
                                  AV_SAMPLE_FMT_S16, inRate, 0, nullptr);
    swr_.reset(raw);
    av_channel_layout_uninit(&inLayout);
    av_channel_layout_uninit(&outLayout);
    if (ret >= 0) ret = swr_init(swr_.get());
    if (ret < 0) return Failure{ff::logError("swr_init", ret)};
    outFormat_ = outFormat;
    outChannels_ = outChannels;
    const int planes = av_sample_fmt_is_planar(outFormat) ? outChannels : 1;
    planeData_.assign(size_t(planes), {});
    planePtrs_.assign(size_t(planes), nullptr);
    return {};
}

int PcmConverter::outBytesPerFrame() const {
    const int bytes = av_get_bytes_per_sample(outFormat_);
    return av_sample_fmt_is_planar(outFormat_) ? bytes : bytes * outChannels_;
}

int PcmConverter::convert(const uint8_t* in, int inFrames) {
    const int outMax = swr_get_out_samples(swr_.get(), in ? inFrames : 0);
    if (outMax <= 0) return 0;
    const size_t need = size_t(outMax) * size_t(outBytesPerFrame());
    for (size_t i = 0; i < planeData_.size(); ++i) {
        if (planeData_[i].size() < need) planeData_[i].resize(need);
        planePtrs_[i] = planeData_[i].data();
    }
    const uint8_t* inPlanes[1] = {in};
    const int got = swr_convert(swr_.get(), planePtrs_.data(), outMax, in ? inPlanes : nullptr,
                                in ? inFrames : 0);
    if (got < 0) ff::logError("swr_convert", got);
    return got;
}

}  // namespace core
