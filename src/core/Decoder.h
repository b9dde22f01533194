#pragma once
// Reads an audio file with FFmpeg and delivers interleaved PCM at the file's
// own rate, channels and precision: 16-bit for sources of 16 bits or fewer,
// 32-bit integers for wider integer sources, float for float and lossy
// ones. Streaming: buffers are reused, so memory stays flat whatever the
// file's length.

#include "core/FfmpegUtil.h"
#include "core/Result.h"
#include "core/SampleConverter.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace core {

class Decoder {
public:
    // Fails when the file cannot be opened or holds no decodable audio.
    // Once *stop is set, FFmpeg's reads give up (the open fails, reading ends).
    static Result<std::unique_ptr<Decoder>> open(const QString& path,
                                                 const std::atomic<bool>* stop = nullptr);
    ~Decoder();
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    const PcmFormat& format() const { return format_; }
    int sampleRate() const { return format_.sampleRate; }
    int channels() const { return format_.channels; }
    int frameBytes() const { return format_.frameBytes(); }

    // Copies up to maxBytes (whole sample frames) into out; fewer only at
    // the end of the file. Returns the bytes copied, 0 at the end.
    qint64 read(uint8_t* out, qint64 maxBytes);

    bool atEnd() const { return ended_; }
    qint64 delivered() const { return delivered_; }
    // Bytes the whole file decodes to: exact once the end is reached, the
    // container's duration before (-1 when unknown). Before the end it is
    // kept above what was delivered, so position == length means "ended".
    qint64 length() const;
    // Bytes the file's header says it holds; -1 when it says nothing
    // trustworthy (a length guessed from the bitrate).
    qint64 claimedLength() const { return claimed_; }

private:
    Decoder() = default;
    bool decodeMore();  // appends to pending_; false at the end
    bool convertFrame(const AVFrame* frame);
    bool configureSwr(const AVFrame* frame);

    ff::InputPtr input_;
    ff::CodecPtr codec_;
    ff::SwrPtr swr_;
    ff::PacketPtr packet_;
    ff::FramePtr frame_;
    AVChannelLayout swrInLayout_{};
    int swrInRate_ = 0;
    int swrInFormat_ = -1;
    AVChannelLayout outLayout_{};

    int streamIndex_ = -1;
    PcmFormat format_;
    qint64 estimate_ = -1;
    qint64 claimed_ = -1;
    qint64 delivered_ = 0;
    bool ended_ = false;
    bool draining_ = false;  // end of input reached, decoder being flushed
    bool flushedSwr_ = false;
    int readErrors_ = 0;
    int decodeErrors_ = 0;

    std::vector<uint8_t> pending_;
    size_t pendingPos_ = 0;
    size_t pendingLen_ = 0;
};

}  // namespace core
