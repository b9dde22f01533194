#include "core/Decoder.h"

#include "core/NativePath.h"

#include <sys/stat.h>
#include <QCoreApplication>

#include <QFileInfo>

extern "C" {
#include <libavutil/opt.h>
}

#include <cstring>
#include <limits>

namespace core {

namespace {

// Consecutive failures tolerated before a damaged file is treated as ended.
constexpr int kMaxReadErrors = 16;
constexpr int kMaxDecodeErrors = 64;
// Widest gap between a frame's sample rate and the stream's (768 kHz to 8 kHz is 96).
constexpr qint64 kMaxRateRatio = 256;

enum class Headerless { None, Vox, Raw };

Headerless headerlessKind(const QString& suffix) {
    if (suffix == QLatin1String("vox")) return Headerless::Vox;
    if (suffix == QLatin1String("raw") || suffix == QLatin1String("pcm")) return Headerless::Raw;
    return Headerless::None;
}

// Plain PCM whose header already gives the rate, the channels and the length
// (WAV, AIFF, AU...) has nothing left to analyse; probing would read and
// decode some hundred kilobytes first, a delay at the start of every file.
bool headerDescribesAll(const AVFormatContext* input) {
    if (input->nb_streams != 1) return false;
    const AVStream* s = input->streams[0];
    const AVCodecParameters* p = s->codecpar;
    const bool plainPcm = p->codec_id >= AV_CODEC_ID_FIRST_AUDIO &&
                          p->codec_id < AV_CODEC_ID_ADPCM_IMA_QT &&
                          av_get_exact_bits_per_sample(p->codec_id) > 0;
    return p->codec_type == AVMEDIA_TYPE_AUDIO && plainPcm && p->sample_rate > 0 &&
           p->ch_layout.nb_channels > 0 && s->duration != AV_NOPTS_VALUE && s->duration > 0;
}

// Bytes for the sample count a container claims. A damaged header can claim
// more than any byte count holds (av_rescale gives INT64_MIN on overflow):
// such a length is unknown rather than a wrapped-around number.
qint64 estimateBytes(int64_t samples, qint64 frameBytes) {
    if (samples <= 0 || samples > std::numeric_limits<qint64>::max() / frameBytes) return -1;
    return samples * frameBytes;
}

// What the decoder hands on for a codec's samples: their own precision, so
// that nothing is lost before the one conversion at the end of the job.
PcmFormat deliveredFormat(const AVCodecContext* c) {
    PcmFormat f;
    f.sampleRate = c->sample_rate;
    f.channels = c->ch_layout.nb_channels;
    if (c->ch_layout.order == AV_CHANNEL_ORDER_NATIVE) f.channelMask = c->ch_layout.u.mask;
    const int rawBits = c->bits_per_raw_sample;
    switch (av_get_packed_sample_fmt(c->sample_fmt)) {
        case AV_SAMPLE_FMT_U8:
        case AV_SAMPLE_FMT_S16:
            f.sampleFormat = AV_SAMPLE_FMT_S16;
            f.bits =
                c->sample_fmt == AV_SAMPLE_FMT_U8 || c->sample_fmt == AV_SAMPLE_FMT_U8P ? 8 : 16;
            break;
        case AV_SAMPLE_FMT_S32:
        case AV_SAMPLE_FMT_S64:
            f.sampleFormat = AV_SAMPLE_FMT_S32;
            f.bits = rawBits > 16 && rawBits < 32 ? rawBits : 32;
            break;
        default:  // float, and what the codec will only say with its first frame
            f.sampleFormat = AV_SAMPLE_FMT_FLT;
            f.bits = 32;
            break;
    }
    return f;
}

}  // namespace

Decoder::~Decoder() {
    av_channel_layout_uninit(&swrInLayout_);
    av_channel_layout_uninit(&outLayout_);
}

Result<std::unique_ptr<Decoder>> Decoder::open(const QString& path, const std::atomic<bool>* stop) {
    auto fail = [](const QString& msg) { return Failure{msg}; };
    const QFileInfo info(path);
    const QString suffix = info.suffix().toLower();
    // An audio CD track file is only a pointer to a track on a disc.
    if (suffix == QLatin1String("cda"))
        return fail(QCoreApplication::translate(
            "core",
            "A CD audio track file only points to a track on a disc; copy the track first"));
    struct stat st;
    if (::stat(core::nativePath(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return fail(QCoreApplication::translate("core", "The file does not exist"));

    std::unique_ptr<Decoder> d(new Decoder);
    const Headerless kind = headerlessKind(suffix);

    AVDictionary* rawOpts = nullptr;
    // Only local files: a playlist inside a file must not reach other protocols.
    av_dict_set(&rawOpts, "protocol_whitelist", "file", 0);
    const AVInputFormat* forced = nullptr;
    if (kind == Headerless::Vox) {
        // Dialogic VOX: 4-bit OKI ADPCM, 8000 Hz mono. The u8 demuxer just
        // cuts the bytes into packets; the codec is replaced below.
        forced = av_find_input_format("u8");
        av_dict_set(&rawOpts, "sample_rate", "8000", 0);
        av_dict_set(&rawOpts, "ch_layout", "mono", 0);
    } else if (kind == Headerless::Raw) {
        forced = av_find_input_format("s16le");
        av_dict_set(&rawOpts, "sample_rate", "44100", 0);
        av_dict_set(&rawOpts, "ch_layout", "stereo", 0);
    }
    std::unique_ptr<AVDictionary, ff::DictCloser> opts(rawOpts);

    AVFormatContext* raw = avformat_alloc_context();
    if (!raw) return fail(ff::logError("avformat_alloc_context", AVERROR(ENOMEM)));
    // We never seek: a small seek index keeps memory flat on long files.
    raw->max_index_size = 64 * 1024;
    if (stop)
        raw->interrupt_callback = {
            [](void* flag) -> int { return static_cast<const std::atomic<bool>*>(flag)->load(); },
            const_cast<std::atomic<bool>*>(stop)};
    const QByteArray url = QByteArrayLiteral("file:") + core::nativePath(path);
    AVDictionary* o = opts.release();
    int ret = avformat_open_input(&raw, url.constData(), forced, &o);
    opts.reset(o);
    if (ret < 0) return fail(ff::logError("avformat_open_input", ret));
    d->input_.reset(raw);

    if (kind != Headerless::None || !headerDescribesAll(d->input_.get())) {
        ret = avformat_find_stream_info(d->input_.get(), nullptr);
        if (ret < 0) ff::logError("avformat_find_stream_info", ret);  // may still decode
    }

    const AVCodec* codec = nullptr;
    ret = av_find_best_stream(d->input_.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    // Only a file whose streams are all something else (video, subtitles)
    // has no audio; no streams, or an audio stream without usable
    // parameters, is a file that could not be made sense of.
    if (ret < 0) {
        bool otherStreamsOnly = d->input_->nb_streams > 0;
        for (unsigned i = 0; i < d->input_->nb_streams; ++i)
            if (d->input_->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO)
                otherStreamsOnly = false;
        ff::logError("av_find_best_stream", ret);
        return fail(ff::readableReason(
            "av_find_best_stream",
            ret == AVERROR_STREAM_NOT_FOUND && !otherStreamsOnly ? AVERROR_INVALIDDATA : ret));
    }
    d->streamIndex_ = ret;
    AVStream* stream = d->input_->streams[ret];
    for (unsigned i = 0; i < d->input_->nb_streams; ++i)
        if (int(i) != d->streamIndex_) d->input_->streams[i]->discard = AVDISCARD_ALL;

    if (kind == Headerless::Vox) {
        codec = avcodec_find_decoder(AV_CODEC_ID_ADPCM_IMA_OKI);
        stream->codecpar->codec_id = AV_CODEC_ID_ADPCM_IMA_OKI;
        stream->codecpar->format = AV_SAMPLE_FMT_NONE;
        stream->codecpar->bits_per_coded_sample = 4;
        stream->codecpar->block_align = 0;
    }
    if (!codec)
        return fail(QCoreApplication::translate("core", "This kind of audio can't be decoded"));

    d->codec_.reset(avcodec_alloc_context3(codec));
    if (!d->codec_) return fail(ff::logError("avcodec_alloc_context3", AVERROR(ENOMEM)));
    ret = avcodec_parameters_to_context(d->codec_.get(), stream->codecpar);
    if (ret < 0) return fail(ff::logError("avcodec_parameters_to_context", ret));
    d->codec_->pkt_timebase = stream->time_base;
    ret = avcodec_open2(d->codec_.get(), codec, nullptr);
    if (ret < 0) return fail(ff::logError("avcodec_open2", ret));

    d->format_ = deliveredFormat(d->codec_.get());
    if (d->format_.sampleRate <= 0 || d->format_.channels <= 0)
        return fail(
            QCoreApplication::translate("core", "The audio format of this file is unknown"));
    d->outLayout_ = d->format_.layout();
    const int rate = d->format_.sampleRate;

    const qint64 frameBytes = d->frameBytes();
    if (kind == Headerless::Vox) {
        d->estimate_ = info.size() * 2 * frameBytes;  // two samples per byte
    } else if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0) {
        d->estimate_ = estimateBytes(
            av_rescale_q(stream->duration, stream->time_base, AVRational{1, rate}), frameBytes);
    } else if (d->input_->duration != AV_NOPTS_VALUE && d->input_->duration > 0) {
        d->estimate_ =
            estimateBytes(av_rescale(d->input_->duration, rate, AV_TIME_BASE), frameBytes);
    }
    if (kind == Headerless::None &&
        d->input_->duration_estimation_method != AVFMT_DURATION_FROM_BITRATE)
        d->claimed_ = d->estimate_;

    d->packet_.reset(av_packet_alloc());
    d->frame_.reset(av_frame_alloc());
    if (!d->packet_ || !d->frame_) return fail(ff::logError("av_frame_alloc", AVERROR(ENOMEM)));
    return d;
}

bool Decoder::configureSwr(const AVFrame* frame) {
    if (swr_ && frame->format == swrInFormat_ && frame->sample_rate == swrInRate_ &&
        av_channel_layout_compare(&frame->ch_layout, &swrInLayout_) == 0)
        return true;
    // A damaged or chained stream can claim a rate such as 1 Hz mid-stream;
    // converting that to the stream's rate would blow each frame up to
    // hundreds of megabytes. No real pair of rates is that far apart, so
    // such frames are dropped like undecodable ones.
    const qint64 inRate = frame->sample_rate;
    const int rate = format_.sampleRate;
    if (inRate <= 0 || inRate * kMaxRateRatio < rate || inRate > qint64(rate) * kMaxRateRatio)
        return false;
    // A mid-stream format change gets a new converter to the same output.
    AVChannelLayout inLayout{};
    if (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || frame->ch_layout.nb_channels == 0)
        av_channel_layout_default(&inLayout, frame->ch_layout.nb_channels
                                                 ? frame->ch_layout.nb_channels
                                                 : format_.channels);
    else
        av_channel_layout_copy(&inLayout, &frame->ch_layout);
    SwrContext* raw = nullptr;
    int ret = swr_alloc_set_opts2(&raw, &outLayout_, format_.sampleFormat, rate, &inLayout,
                                  AVSampleFormat(frame->format), frame->sample_rate, 0, nullptr);
    ff::SwrPtr swr(raw);
    if (ret >= 0) {
        // Only a stream that changes rate is resampled here; the rest is
        // laid out as delivered, sample for sample.
        if (frame->sample_rate != rate) setResamplerOptions(swr.get());
        av_opt_set_double(swr.get(), "rematrix_maxval", 1.0, 0);
        ret = swr_init(swr.get());
    }
    if (ret < 0) {
        av_channel_layout_uninit(&inLayout);
        ff::logError("swr_init", ret);
        return false;
    }
    swr_ = std::move(swr);
    av_channel_layout_uninit(&inLayout);
    // Kept as the frame gave it, so that the next frame of an unspecified
    // layout (a plain WAV's) matches and keeps this converter.
    av_channel_layout_uninit(&swrInLayout_);
    av_channel_layout_copy(&swrInLayout_, &frame->ch_layout);
    swrInRate_ = frame->sample_rate;
    swrInFormat_ = frame->format;
    return true;
}

bool Decoder::convertFrame(const AVFrame* frame) {
    if (frame && !configureSwr(frame)) return false;
    if (!swr_) return true;
    const int inSamples = frame ? frame->nb_samples : 0;
    const int outMax = swr_get_out_samples(swr_.get(), inSamples);
    if (outMax <= 0) return true;
    const size_t need = pendingLen_ + size_t(outMax) * frameBytes();
    if (pending_.size() < need) pending_.resize(need);
    uint8_t* out = pending_.data() + pendingLen_;
    const int got =
        swr_convert(swr_.get(), &out, outMax,
                    frame ? const_cast<const uint8_t**>(frame->extended_data) : nullptr, inSamples);
    if (got < 0) {
        ff::logError("swr_convert", got);
        return false;
    }
    pendingLen_ += size_t(got) * frameBytes();
    return true;
}

bool Decoder::decodeMore() {
    for (;;) {
        int ret = avcodec_receive_frame(codec_.get(), frame_.get());
        if (ret >= 0) {
            decodeErrors_ = 0;
            const bool ok = convertFrame(frame_.get());
            av_frame_unref(frame_.get());
            if (!ok && ++decodeErrors_ > kMaxDecodeErrors) return false;
            if (pendingLen_ > pendingPos_) return true;
            continue;
        }
        if (ret == AVERROR_EOF) {
            if (!flushedSwr_) {
                flushedSwr_ = true;
                convertFrame(nullptr);
                if (pendingLen_ > pendingPos_) return true;
            }
            return false;
        }
        if (ret != AVERROR(EAGAIN)) {
            ff::logError("avcodec_receive_frame", ret);
            if (++decodeErrors_ > kMaxDecodeErrors) return false;
            if (draining_) return false;
        }
        if (draining_) return false;  // defensive: a drained decoder never asks for more

        ret = av_read_frame(input_.get(), packet_.get());
        if (ret < 0) {
            if (ret != AVERROR_EOF && !avio_feof(input_->pb) && ++readErrors_ <= kMaxReadErrors) {
                ff::logError("av_read_frame", ret);
                continue;
            }
            // End of input: flush the decoder so its last frames come out.
            draining_ = true;
            avcodec_send_packet(codec_.get(), nullptr);
            // A drained decoder answers receive_frame with frames, then EOF.
            for (;;) {
                ret = avcodec_receive_frame(codec_.get(), frame_.get());
                if (ret < 0) break;
                convertFrame(frame_.get());
                av_frame_unref(frame_.get());
                if (pendingLen_ > pendingPos_) return true;
            }
            if (!flushedSwr_) {
                flushedSwr_ = true;
                convertFrame(nullptr);
            }
            return pendingLen_ > pendingPos_;
        }
        readErrors_ = 0;
        if (packet_->stream_index == streamIndex_) {
            ret = avcodec_send_packet(codec_.get(), packet_.get());
            if (ret < 0 && ret != AVERROR(EAGAIN)) {
                ff::logError("avcodec_send_packet", ret);
                if (++decodeErrors_ > kMaxDecodeErrors) {
                    av_packet_unref(packet_.get());
                    return false;
                }
            }
        }
        av_packet_unref(packet_.get());
    }
}

qint64 Decoder::length() const {
    if (ended_) return delivered_;
    if (estimate_ < 0) return -1;
    return std::max<qint64>(estimate_, delivered_ + frameBytes());
}

qint64 Decoder::read(uint8_t* out, qint64 maxBytes) {
    const qint64 fb = frameBytes();
    maxBytes -= maxBytes % fb;
    qint64 copied = 0;
    while (copied < maxBytes && !ended_) {
        if (pendingPos_ == pendingLen_) {
            pendingPos_ = pendingLen_ = 0;
            if (!decodeMore()) {
                ended_ = true;
                break;
            }
        }
        const qint64 n = std::min<qint64>(maxBytes - copied, qint64(pendingLen_ - pendingPos_));
        std::memcpy(out + copied, pending_.data() + pendingPos_, size_t(n));
        pendingPos_ += size_t(n);
        copied += n;
    }
    // Look ahead so the end shows as soon as the last bytes are handed out.
    if (!ended_ && pendingPos_ == pendingLen_) {
        pendingPos_ = pendingLen_ = 0;
        if (!decodeMore()) ended_ = true;
    }
    delivered_ += copied;
    return copied;
}

}  // namespace core
