#include "core/SampleDigest.h"

#include "core/FfmpegUtil.h"
#include "core/NativePath.h"

extern "C" {
#include <libavutil/crc.h>
#include <libavutil/samplefmt.h>
}

#include <QCoreApplication>

#include <algorithm>
#include <cstring>

namespace core {

namespace {

int32_t aligned(const uint8_t* p, AVSampleFormat packed) {
    switch (packed) {
        case AV_SAMPLE_FMT_U8:
            return int32_t(uint32_t(*p ^ 0x80) << 24);
        case AV_SAMPLE_FMT_S16: {
            int16_t v;
            std::memcpy(&v, p, 2);
            return int32_t(uint32_t(uint16_t(v)) << 16);
        }
        case AV_SAMPLE_FMT_S32:
        case AV_SAMPLE_FMT_FLT: {  // a float by its bits: lossless means the same bits
            int32_t v;
            std::memcpy(&v, p, 4);
            return v;
        }
        default:
            return 0;
    }
}

}  // namespace

void SampleDigest::add(const AVFrame& frame) {
    const auto format = AVSampleFormat(frame.format);
    const AVSampleFormat packed = av_get_packed_sample_fmt(format);
    const bool planar = av_sample_fmt_is_planar(format);
    const int channels = frame.ch_layout.nb_channels;
    const int bytes = av_get_bytes_per_sample(format);
    channels_ = channels;
    const AVCRC* table = av_crc_get_table(AV_CRC_32_IEEE);
    int64_t done = 0;
    while (done < frame.nb_samples) {
        // Up to the end of the current block, interleaved.
        const int64_t room = kBlockFrames - frames_ % kBlockFrames;
        const int64_t n = std::min<int64_t>(room, frame.nb_samples - done);
        scratch_.resize(size_t(n * channels));
        for (int64_t i = 0; i < n; ++i)
            for (int ch = 0; ch < channels; ++ch) {
                const uint8_t* p =
                    planar ? frame.extended_data[ch] + (done + i) * bytes
                           : frame.extended_data[0] + ((done + i) * channels + ch) * bytes;
                scratch_[size_t(i * channels + ch)] = aligned(p, packed);
            }
        current_ = av_crc(table, current_, reinterpret_cast<const uint8_t*>(scratch_.data()),
                          scratch_.size() * sizeof(int32_t));
        frames_ += n;
        done += n;
        if (frames_ % kBlockFrames == 0) {
            blocks_.push_back(current_);
            current_ = 0;
        }
    }
}

void SampleDigest::finish() {
    if (frames_ % kBlockFrames != 0) blocks_.push_back(current_);
    current_ = 0;
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

Status checkSameSamples(const QString& path, const SampleDigest& fed) {
    const auto failed = [](const QString& why) {
        return Failure{
            QCoreApplication::translate("core", "The output is not lossless: %1").arg(why)};
    };
    AVFormatContext* raw = nullptr;
    const QByteArray url = QByteArrayLiteral("file:") + nativePath(path);
    int ret = avformat_open_input(&raw, url.constData(), nullptr, nullptr);
    if (ret < 0) return failed(ff::errorText(ret));
    const ff::InputPtr input(raw);
    if ((ret = avformat_find_stream_info(input.get(), nullptr)) < 0)
        return failed(ff::errorText(ret));
    const AVCodec* codec = nullptr;
    const int index = av_find_best_stream(input.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (index < 0 || !codec)
        return failed(QCoreApplication::translate("core", "it holds no audio"));
    const ff::CodecPtr decoder(avcodec_alloc_context3(codec));
    if (!decoder) return failed(ff::errorText(AVERROR(ENOMEM)));
    avcodec_parameters_to_context(decoder.get(), input->streams[index]->codecpar);
    if ((ret = avcodec_open2(decoder.get(), codec, nullptr)) < 0) return failed(ff::errorText(ret));

    const ff::PacketPtr packet(av_packet_alloc());
    const ff::FramePtr frame(av_frame_alloc());
    if (!packet || !frame) return failed(ff::errorText(AVERROR(ENOMEM)));
    SampleDigest decoded;
    const auto receive = [&]() -> int {
        for (;;) {
            const int r = avcodec_receive_frame(decoder.get(), frame.get());
            if (r < 0) return r == AVERROR(EAGAIN) || r == AVERROR_EOF ? 0 : r;
            decoded.add(*frame);
            av_frame_unref(frame.get());
        }
    };
    while ((ret = av_read_frame(input.get(), packet.get())) >= 0) {
        if (packet->stream_index == index) ret = avcodec_send_packet(decoder.get(), packet.get());
        av_packet_unref(packet.get());
        if (ret < 0 || (ret = receive()) < 0) return failed(ff::errorText(ret));
    }
    if (ret != AVERROR_EOF) return failed(ff::errorText(ret));
    avcodec_send_packet(decoder.get(), nullptr);
    if ((ret = receive()) < 0) return failed(ff::errorText(ret));
    decoded.finish();
    const QString difference = sampleDifference(fed, decoded, decoder->sample_rate);
    return difference.isEmpty() ? Status() : failed(difference);
}

}  // namespace core
