#pragma once
// Writes a file through one of FFmpeg's encoders and muxers in this process:
// WAV in any format of WaveFormat.h, FLAC, Opus, AAC or ALAC in .m4a,
// WavPack. The audio is converted to the rate, channels and sample format
// the encoder takes, once. Used by one job's worker thread only.

#include "core/Encoder.h"
#include "core/FfmpegUtil.h"
#include "core/SampleConverter.h"
#include "core/SampleDigest.h"

#include <QString>

#include <memory>

namespace core {

struct FfmpegEncoding {
    const char* muxer = "wav";
    const char* encoder = nullptr;  // FFmpeg encoder name
    int sampleRate = 0;
    int channels = 0;
    qint64 bitRate = 0;         // bit/s; 0: the encoder's own
    int compressionLevel = -1;  // -1: the encoder's own
    int blockAlign = 0;         // ADPCM block size in bytes, 0 otherwise
    bool lossless = false;      // keep the source's depth and a checksum of every sample fed
};

class FfmpegEncoder final : public Encoder {
public:
    // The encoding's rate and channels are settled (not 0).
    static Result<std::unique_ptr<FfmpegEncoder>> create(const FfmpegEncoding& enc,
                                                         const QString& path,
                                                         const PcmFormat& source);
    ~FfmpegEncoder() override;

    bool write(const uint8_t* pcm, qint64 bytes) override;
    Status finish() override;

    // What the encoder was given, once finish() has run (lossless only).
    const SampleDigest& digest() const { return digest_; }

private:
    FfmpegEncoder() = default;
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
    bool keepDigest_ = false;
    SampleDigest digest_;
    bool failed_ = false;
    bool finished_ = true;  // until create() has made a complete encoder
    QString reason_;
};

}  // namespace core
