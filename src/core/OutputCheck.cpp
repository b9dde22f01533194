#include "core/OutputCheck.h"

#include "core/FfmpegUtil.h"
#include "core/NativePath.h"
#include "core/UniqueFd.h"

#include <QCoreApplication>
#include <QtEndian>

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

namespace core {

namespace {

QString codecName(AVCodecID id) {
    return QString::fromLatin1(avcodec_get_name(id));
}

QString secondsText(double seconds) {
    return QString::number(seconds, 'f', 1);
}

Failure unreadable(const char* call, int err) {
    ff::logError(call, err);  // FFmpeg's words for standard error
    return Failure{QCoreApplication::translate("core", "The written file can't be read back")};
}

constexpr double kMaxPacketSeconds = 10;

// Reads exactly size bytes at offset; false at the end of the file or on an error.
bool readAt(int fd, qint64 offset, char* out, size_t size) {
    return ::pread(fd, out, size, off_t(offset)) == ssize_t(size);
}

Failure damaged() {
    return Failure{QCoreApplication::translate("core", "The written file is damaged")};
}

// A RIFF or RF64 file's header sizes against the bytes really there: every
// chunk whole, the last one ending where the file ends.
Status checkRiffChunks(const QString& path) {
    const UniqueFd fd(::open(nativePath(path).constData(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    char head[12];
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !readAt(fd.get(), 0, head, sizeof head))
        return damaged();
    const qint64 fileSize = st.st_size;
    const bool rf64 = std::memcmp(head, "RF64", 4) == 0;
    quint64 riffSize = qFromLittleEndian<quint32>(head + 4);
    quint64 dataSize64 = 0;
    qint64 at = 12;
    if (rf64) {
        char ds64[36];
        if (!readAt(fd.get(), at, ds64, sizeof ds64) || std::memcmp(ds64, "ds64", 4) != 0)
            return damaged();
        riffSize = qFromLittleEndian<quint64>(ds64 + 8);
        dataSize64 = qFromLittleEndian<quint64>(ds64 + 16);
    }
    if (riffSize + 8 != quint64(fileSize))
        return Failure{QCoreApplication::translate(
                           "core", "The written file's header says %1 bytes, it holds %2")
                           .arg(riffSize + 8)
                           .arg(fileSize)};
    while (at < fileSize) {
        char chunk[8];
        if (!readAt(fd.get(), at, chunk, sizeof chunk)) return damaged();
        quint64 size = qFromLittleEndian<quint32>(chunk + 4);
        if (rf64 && std::memcmp(chunk, "data", 4) == 0 && size == 0xFFFFFFFFu) size = dataSize64;
        const quint64 end = quint64(at) + 8 + size + (size & 1);
        // A writer may leave out the pad byte after an odd last chunk.
        if (end > quint64(fileSize) && end - (size & 1) != quint64(fileSize))
            return Failure{
                QCoreApplication::translate("core", "The written file's %1 chunk is cut short")
                    .arg(QString::fromLatin1(chunk, 4).trimmed())};
        at = qint64(end);
    }
    return {};
}

// Decodes the packets the check reads and keeps a digest of the samples.
class SampleReader {
public:
    explicit SampleReader(const AVStream& stream) {
        const AVCodec* codec = avcodec_find_decoder(stream.codecpar->codec_id);
        if (!codec) {
            error_ = AVERROR_DECODER_NOT_FOUND;
            return;
        }
        decoder_.reset(avcodec_alloc_context3(codec));
        frame_.reset(av_frame_alloc());
        if (!decoder_ || !frame_) {
            error_ = AVERROR(ENOMEM);
            return;
        }
        avcodec_parameters_to_context(decoder_.get(), stream.codecpar);
        error_ = std::min(0, avcodec_open2(decoder_.get(), codec, nullptr));
    }

    // nullptr: the end of the file.
    void decode(const AVPacket* packet) {
        if (error_ < 0 || (error_ = avcodec_send_packet(decoder_.get(), packet)) < 0) return;
        for (;;) {
            const int r = avcodec_receive_frame(decoder_.get(), frame_.get());
            if (r < 0) {
                error_ = r == AVERROR(EAGAIN) || r == AVERROR_EOF ? 0 : r;
                return;
            }
            digest_.add(*frame_);
            av_frame_unref(frame_.get());
        }
    }

    // After the last packet (read ended with readEnd): the first difference from fed.
    Status compare(const SampleDigest& fed, int readEnd) {
        if (readEnd != AVERROR_EOF) error_ = readEnd;
        decode(nullptr);
        digest_.finish();
        const QString difference = error_ < 0
                                       ? ff::errorText(error_)
                                       : sampleDifference(fed, digest_, decoder_->sample_rate);
        if (difference.isEmpty()) return {};
        return Failure{
            QCoreApplication::translate("core", "The output is not lossless: %1").arg(difference)};
    }

private:
    ff::CodecPtr decoder_;
    ff::FramePtr frame_;
    SampleDigest digest_;
    int error_ = 0;
};

// Seconds of audio in the packets really in the file: a header's claim
// (a LAME header, a WAV's data size) is never taken on trust. Each packet
// also goes to samples, if given; readEnd gets what ended the reading.
double packetSeconds(AVFormatContext* input, const AVStream* stream, SampleReader* samples,
                     int& readEnd) {
    const ff::PacketPtr packet(av_packet_alloc());
    if (!packet) return -1;
    const double tick = av_q2d(stream->time_base);
    double total = 0;
    while ((readEnd = av_read_frame(input, packet.get())) >= 0) {
        // The last Ogg packet's trimmed length can come out as a wrapped
        // negative; no real packet lasts seconds.
        const double seconds = double(packet->duration) * tick;
        if (packet->stream_index == stream->index) {
            if (seconds > 0 && seconds < kMaxPacketSeconds) total += seconds;
            if (samples) samples->decode(packet.get());
        }
        av_packet_unref(packet.get());
    }
    return total;
}

}  // namespace

double durationTolerance(double seconds) {
    return std::max(0.1, seconds * 0.01);
}

Status checkOutput(const QString& path, const ExpectedOutput& expected, const SampleDigest* fed) {
    AVFormatContext* raw = nullptr;
    const QByteArray url = QByteArrayLiteral("file:") + nativePath(path);
    int ret = avformat_open_input(&raw, url.constData(), nullptr, nullptr);
    if (ret < 0) return unreadable("avformat_open_input", ret);
    const ff::InputPtr input(raw);
    ret = avformat_find_stream_info(input.get(), nullptr);
    if (ret < 0) return unreadable("avformat_find_stream_info", ret);
    ret = av_find_best_stream(input.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (ret < 0)
        return Failure{QCoreApplication::translate("core", "The written file holds no audio")};
    const AVStream* stream = input->streams[ret];
    const AVCodecParameters* p = stream->codecpar;

    if (expected.codec != AV_CODEC_ID_NONE && p->codec_id != expected.codec)
        return Failure{QCoreApplication::translate("core", "The written file is %1, not %2")
                           .arg(codecName(p->codec_id), codecName(expected.codec))};
    if (expected.sampleRate > 0 && p->sample_rate != expected.sampleRate)
        return Failure{QCoreApplication::translate("core", "The written file has %1 Hz, not %2 Hz")
                           .arg(p->sample_rate)
                           .arg(expected.sampleRate)};
    if (expected.channels > 0 && p->ch_layout.nb_channels != expected.channels)
        return Failure{
            QCoreApplication::translate("core", "The written file has %1 channels, not %2")
                .arg(p->ch_layout.nb_channels)
                .arg(expected.channels)};

    if (std::strcmp(input->iformat->name, "wav") == 0)
        if (const Status chunks = checkRiffChunks(path); !chunks) return chunks;
    std::optional<SampleReader> samples;
    if (fed) samples.emplace(*stream);
    int readEnd = 0;
    const double seconds =
        packetSeconds(input.get(), stream, samples ? &*samples : nullptr, readEnd);
    if (seconds < 0)
        return Failure{
            QCoreApplication::translate("core", "The written file's length can't be read")};
    // Codecs that work in frames pad the last one and add their own delay.
    const double framing =
        p->frame_size > 0 && p->sample_rate > 0 ? 2.0 * p->frame_size / p->sample_rate : 0.0;
    if (std::abs(seconds - expected.seconds) > durationTolerance(expected.seconds) + framing)
        return Failure{
            QCoreApplication::translate("core", "The written file lasts %1 s, the source %2 s")
                .arg(secondsText(seconds), secondsText(expected.seconds))};
    return samples ? samples->compare(*fed, readEnd) : Status();
}

}  // namespace core
