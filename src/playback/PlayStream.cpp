#include "playback/PlayStream.h"

#include "playback/AudioDevice.h"

#include <algorithm>
#include <cstring>

namespace playback {

namespace {
constexpr size_t kBlockBytes = 8192;  // source bytes decoded per step
constexpr int kRingMs = 500;
}  // namespace

PlayStream::PlayStream(std::unique_ptr<core::Decoder> decoder, AudioDevice& device)
    : decoder_(std::move(decoder)),
      device_(device),
      srcRate_(decoder_->sampleRate()),
      srcFrameBytes_(decoder_->frameBytes()) {}

core::Result<std::unique_ptr<PlayStream>> PlayStream::create(std::unique_ptr<core::Decoder> decoder,
                                                             AudioDevice& device) {
    std::unique_ptr<PlayStream> s(new PlayStream(std::move(decoder), device));
    core::Decoder& d = *s->decoder_;
    const core::PcmFormat deviceFormat{AV_SAMPLE_FMT_S16, 16, device.sampleRate(),
                                       device.channels(), 0};
    if (const core::Status st = s->conv_.init(d.format(), deviceFormat); !st)
        return core::Failure{st.reason()};
    s->length_ = d.length();
    s->block_.resize(kBlockBytes - kBlockBytes % size_t(d.frameBytes()) + size_t(d.frameBytes()));
    const size_t ringBytes =
        size_t(device.sampleRate()) * size_t(device.frameBytes()) * kRingMs / 1000;
    s->ring_.resize(ringBytes - ringBytes % size_t(device.frameBytes()));
    return s;
}

PlayStream::~PlayStream() {
    stop();
}

bool PlayStream::play() {
    if (playing_) return true;
    playing_ = true;
    if (!decodedAll_) thread_ = std::jthread([this](std::stop_token st) { decodeLoop(st); });
    device_.add(this);
    return true;
}

void PlayStream::stop() {
    if (!playing_) return;
    playing_ = false;
    device_.remove(this);
    if (thread_.joinable()) {
        thread_.request_stop();
        ringSpace_.notify_all();
        thread_.join();
    }
}

bool PlayStream::push(const uint8_t* data, size_t len, const std::stop_token& stop) {
    while (len > 0) {
        std::unique_lock lock(ringMutex_);
        if (!ringSpace_.wait(lock, stop, [&] { return ringCount_ < ring_.size(); })) return false;
        size_t tail = (ringHead_ + ringCount_) % ring_.size();
        size_t n = std::min(len, ring_.size() - ringCount_);
        const size_t first = std::min(n, ring_.size() - tail);
        std::memcpy(ring_.data() + tail, data, first);
        std::memcpy(ring_.data(), data + first, n - first);
        ringCount_ += n;
        data += n;
        len -= n;
    }
    return true;
}

void PlayStream::decodeLoop(const std::stop_token& stop) {
    while (!stop.stop_requested()) {
        const qint64 got = decoder_->read(block_.data(), qint64(block_.size()));
        delivered_ = decoder_->delivered();
        length_ = decoder_->length();
        int frames = got > 0 ? conv_.convert(block_.data(), int(got / srcFrameBytes_)) : 0;
        if (frames > 0 &&
            !push(conv_.planes()[0], size_t(frames) * size_t(conv_.outBytesPerFrame()), stop))
            return;  // stopped: the block stays unplayed, as it would on a device
        if (decoder_->atEnd()) {
            while ((frames = conv_.convert(nullptr, 0)) > 0)
                if (!push(conv_.planes()[0], size_t(frames) * size_t(conv_.outBytesPerFrame()),
                          stop))
                    return;
            decodedAll_ = true;
            return;
        }
    }
}

int PlayStream::pull(uint8_t* out, int len) {
    size_t n;
    {
        std::lock_guard lock(ringMutex_);
        n = std::min(size_t(len), ringCount_);
        const size_t first = std::min(n, ring_.size() - ringHead_);
        std::memcpy(out, ring_.data() + ringHead_, first);
        std::memcpy(out + first, ring_.data(), n - first);
        ringHead_ = (ringHead_ + n) % ring_.size();
        ringCount_ -= n;
        // Ended only when everything decoded has been handed to the device.
        if (ringCount_ == 0 && decodedAll_) finished_ = true;
    }
    ringSpace_.notify_one();
    consumed_ += qint64(n);
    return int(n);
}

qint64 PlayStream::length() const {
    return length_;
}

qint64 PlayStream::position() const {
    const qint64 len = length_;
    if (finished_) return len;
    const qint64 devFrames = consumed_ / device_.frameBytes();
    qint64 pos = av_rescale(devFrames, srcRate_, device_.sampleRate()) * srcFrameBytes_;
    pos = std::min<qint64>(pos, delivered_);
    if (len >= 0) pos = std::min<qint64>(pos, std::max<qint64>(0, len - srcFrameBytes_));
    return pos;
}

}  // namespace playback
