#include "core/FfmpegEncoder.h"

#include "core/NativePath.h"

#include <QCoreApplication>

#include <algorithm>

namespace core {

namespace {

constexpr int kPcmFrameSize = 4096;  // frames per write for codecs without a frame size

// What the encoder is given. A lossy one takes its widest format (float
// first); a lossless one keeps the source's depth: 16-bit audio as 16 bits,
// deeper audio as 24 bits in 32, so nothing is padded or dropped.
PcmFormat encoderInput(const AVCodec* codec, const PcmFormat& source, bool lossless) {
    PcmFormat out;
    out.sampleFormat = encoderSampleFormat(codec);
    if (lossless && codec->sample_fmts) {
        const AVSampleFormat wanted = source.bits <= 16 ? AV_SAMPLE_FMT_S16 : AV_SAMPLE_FMT_S32;
        for (const AVSampleFormat* f = codec->sample_fmts; *f != AV_SAMPLE_FMT_NONE; ++f)
            if (av_get_packed_sample_fmt(*f) == wanted) out.sampleFormat = *f;
    }
    out.bits = encoderSampleBits(codec, out.sampleFormat);
    if (lossless && av_get_packed_sample_fmt(out.sampleFormat) == AV_SAMPLE_FMT_S32) out.bits = 24;
    return out;
}

}  // namespace

FfmpegEncoder::~FfmpegEncoder() {
    if (!finished_) (void)finish();
}

void FfmpegEncoder::fail(const QString& why) {
    if (!failed_) reason_ = why;
    failed_ = true;
}

bool FfmpegEncoder::checkIo(const char* call, int ret) {
    if (ret >= 0 && out_->pb && out_->pb->error < 0) ret = out_->pb->error;
    if (ret >= 0) return true;
    fail(ff::logError(call, ret, ff::Side::Writing));
    return false;
}

Result<std::unique_ptr<FfmpegEncoder>> FfmpegEncoder::create(const FfmpegEncoding& enc,
                                                             const QString& path,
                                                             const PcmFormat& source) {
    std::unique_ptr<FfmpegEncoder> w(new FfmpegEncoder);
    auto failed = [](const QString& why) { return Failure{why}; };
    w->srcFrameBytes_ = source.frameBytes();
    w->keepDigest_ = enc.lossless;

    const AVCodec* codec = avcodec_find_encoder_by_name(enc.encoder);
    if (!codec)
        return failed(
            ff::readableReason(enc.encoder, AVERROR_ENCODER_NOT_FOUND, ff::Side::Writing));

    AVFormatContext* raw = nullptr;
    int ret = avformat_alloc_output_context2(&raw, nullptr, enc.muxer, nullptr);
    if (ret < 0)
        return failed(ff::logError("avformat_alloc_output_context2", ret, ff::Side::Writing));
    w->out_.reset(raw);

    w->codec_.reset(avcodec_alloc_context3(codec));
    if (!w->codec_)
        return failed(ff::logError("avcodec_alloc_context3", AVERROR(ENOMEM), ff::Side::Writing));
    AVCodecContext* c = w->codec_.get();
    PcmFormat output = encoderInput(codec, source, enc.lossless);
    output.sampleRate = enc.sampleRate;
    output.channels = enc.channels;
    // The source's speakers when it keeps its channels (a WAV's channel mask).
    output.channelMask = enc.channels == source.channels ? source.channelMask : 0;
    if (output.bits == 24) c->bits_per_raw_sample = 24;
    c->sample_rate = enc.sampleRate;
    c->ch_layout = output.layout();
    c->sample_fmt = output.sampleFormat;
    c->time_base = AVRational{1, enc.sampleRate};
    if (enc.bitRate > 0) c->bit_rate = enc.bitRate;
    if (enc.compressionLevel >= 0) c->compression_level = enc.compressionLevel;
    if (w->out_->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* rawOpts = nullptr;
    if (enc.blockAlign > 0) av_dict_set_int(&rawOpts, "block_size", enc.blockAlign, 0);
    ret = avcodec_open2(c, codec, &rawOpts);
    av_dict_free(&rawOpts);
    if (ret < 0) return failed(ff::logError("avcodec_open2", ret, ff::Side::Writing));

    w->stream_ = avformat_new_stream(w->out_.get(), nullptr);
    if (!w->stream_)
        return failed(ff::logError("avformat_new_stream", AVERROR(ENOMEM), ff::Side::Writing));
    w->stream_->time_base = c->time_base;
    ret = avcodec_parameters_from_context(w->stream_->codecpar, c);
    if (ret < 0)
        return failed(ff::logError("avcodec_parameters_from_context", ret, ff::Side::Writing));

    const QByteArray url = QByteArrayLiteral("file:") + core::nativePath(path);
    ret = avio_open(&w->out_->pb, url.constData(), AVIO_FLAG_WRITE);
    if (ret < 0) return failed(ff::logError("avio_open", ret, ff::Side::Writing));
    // Past 4 GiB a plain RIFF header can't hold the sizes; RF64 can.
    AVDictionary* muxerOpts = nullptr;
    if (QByteArrayView(enc.muxer) == "wav") av_dict_set(&muxerOpts, "rf64", "auto", 0);
    ret = avformat_write_header(w->out_.get(), &muxerOpts);
    av_dict_free(&muxerOpts);
    if (!w->checkIo("avformat_write_header", ret)) return failed(w->reason_);

    const bool variable = codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE;
    w->frameSize_ = (c->frame_size > 0 && !variable) ? c->frame_size : kPcmFrameSize;
    w->padLastFrame_ =
        c->frame_size > 0 && !variable && !(codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME);
    w->fifo_.reset(av_audio_fifo_alloc(c->sample_fmt, enc.channels, w->frameSize_ * 2));
    w->frame_.reset(av_frame_alloc());
    w->packet_.reset(av_packet_alloc());
    if (!w->fifo_ || !w->frame_ || !w->packet_)
        return failed(ff::logError("av_frame_alloc", AVERROR(ENOMEM), ff::Side::Writing));
    w->frame_->nb_samples = w->frameSize_;
    w->frame_->format = c->sample_fmt;
    w->frame_->sample_rate = c->sample_rate;
    av_channel_layout_copy(&w->frame_->ch_layout, &c->ch_layout);
    ret = av_frame_get_buffer(w->frame_.get(), 0);
    if (ret < 0) return failed(ff::logError("av_frame_get_buffer", ret, ff::Side::Writing));

    if (const Status s = w->conv_.init(source, output); !s) return Failure{s.reason()};
    w->finished_ = false;
    return w;
}

bool FfmpegEncoder::write(const uint8_t* pcm, qint64 bytes) {
    if (failed_ || finished_) return false;
    if (bytes <= 0) return true;
    const int frames = conv_.convert(pcm, int(bytes / srcFrameBytes_));
    if (frames < 0) {
        fail(QCoreApplication::translate(
            "core", "The audio can't be converted to the output's rate and channels"));
        return false;
    }
    if (frames > 0 &&
        av_audio_fifo_write(fifo_.get(),
                            reinterpret_cast<void**>(const_cast<uint8_t**>(conv_.planes())),
                            frames) < frames) {
        fail(ff::logError("av_audio_fifo_write", AVERROR(ENOMEM), ff::Side::Writing));
        return false;
    }
    return encodeFifo(false);
}

bool FfmpegEncoder::sendFrame(const AVFrame* frame) {
    int ret = avcodec_send_frame(codec_.get(), frame);
    if (ret < 0) {
        fail(ff::logError("avcodec_send_frame", ret, ff::Side::Writing));
        return false;
    }
    for (;;) {
        ret = avcodec_receive_packet(codec_.get(), packet_.get());
        if (ret == AVERROR(EAGAIN) || ret == AVERROR_EOF) return true;
        if (ret < 0) {
            fail(ff::logError("avcodec_receive_packet", ret, ff::Side::Writing));
            return false;
        }
        av_packet_rescale_ts(packet_.get(), codec_->time_base, stream_->time_base);
        packet_->stream_index = stream_->index;
        ret = av_write_frame(out_.get(), packet_.get());
        av_packet_unref(packet_.get());
        if (!checkIo("av_write_frame", ret)) return false;
    }
}

bool FfmpegEncoder::encodeFifo(bool final) {
    for (;;) {
        const int available = av_audio_fifo_size(fifo_.get());
        if (available == 0 || (!final && available < frameSize_)) return true;
        int ret = av_frame_make_writable(frame_.get());
        if (ret < 0) {
            fail(ff::logError("av_frame_make_writable", ret, ff::Side::Writing));
            return false;
        }
        const int n = std::min(available, frameSize_);
        av_audio_fifo_read(fifo_.get(), reinterpret_cast<void**>(frame_->extended_data), n);
        frame_->nb_samples = n;
        if (keepDigest_) digest_.add(*frame_);
        if (n < frameSize_ && padLastFrame_) {
            // Codecs with fixed frames get the last one filled with silence.
            av_samples_set_silence(frame_->extended_data, n, frameSize_ - n,
                                   frame_->ch_layout.nb_channels, AVSampleFormat(frame_->format));
            frame_->nb_samples = frameSize_;
        }
        frame_->pts = pts_;
        pts_ += frame_->nb_samples;
        const bool ok = sendFrame(frame_.get());
        frame_->nb_samples = frameSize_;
        if (!ok) return false;
    }
}

Status FfmpegEncoder::finish() {
    if (finished_) return outcome();
    finished_ = true;
    if (!failed_) {
        // Whatever the resampler holds back, then the encoder's own delay.
        for (;;) {
            const int frames = conv_.convert(nullptr, 0);
            if (frames <= 0) break;
            av_audio_fifo_write(fifo_.get(),
                                reinterpret_cast<void**>(const_cast<uint8_t**>(conv_.planes())),
                                frames);
        }
        if (encodeFifo(true)) sendFrame(nullptr);
    }
    if (!failed_) checkIo("av_write_trailer", av_write_trailer(out_.get()));
    digest_.finish();
    if (out_->pb) {
        avio_flush(out_->pb);
        const int err = out_->pb->error;
        const int closed = avio_closep(&out_->pb);
        if (!failed_ && (err < 0 || closed < 0))
            fail(ff::logError("avio_close", err < 0 ? err : closed, ff::Side::Writing));
    }
    return outcome();
}

}  // namespace core
