#pragma once
// Writes a WAV file in any format of WaveFormat.h through FFmpeg's wav muxer
// and encoders, converting the audio to the chosen rate and channels.

#include "core/Encoder.h"
#include "core/FfmpegUtil.h"
#include "core/SampleConverter.h"
#include "core/WaveFormat.h"

#include <QString>

#include <memory>

namespace core {

class WavWriter final : public Encoder {
public:
    // The encoding's rate and channels are settled (not 0).
    static Result<std::unique_ptr<WavWriter>> create(const WavEncoding& enc, const QString& path,
                                                     const PcmFormat& source);
    ~WavWriter() override;

    bool write(const uint8_t* pcm, qint64 bytes) override;
    Status finish() override;

private:
    WavWriter() = default;
    bool encodeFifo(bool final);
    bool sendFrame(const AVFrame* frame);
    bool checkIo(const char* call, int ret);
    void fail(const QString& why);
    Status outcome() const { return failed_ ? Status(Failure{reason_}) : Status(); }

    int srcFrameBytes_ = 0;
    ff::OutputPtr out_;
    ff::CodecPtr codec_;
    ff::FifoPtr fifo_;
    ff::FramePtr frame_;
    ff::PacketPtr packet_;
    SampleConverter conv_;
    AVStream* stream_ = nullptr;
    int frameSize_ = 0;
    bool padLastFrame_ = false;
    qint64 pts_ = 0;
    bool failed_ = false;
    bool finished_ = true;  // until create() has made a complete writer
    QString reason_;
};

}  // namespace core
