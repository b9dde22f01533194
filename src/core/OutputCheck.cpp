#include "core/OutputCheck.h"

#include "core/FfmpegUtil.h"
#include "core/NativePath.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>

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

}  // namespace

double durationTolerance(double seconds) {
    return std::max(0.1, seconds * 0.01);
}

Status checkOutput(const QString& path, const ExpectedOutput& expected) {
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

    double seconds = -1;
    if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0)
        seconds = double(stream->duration) * av_q2d(stream->time_base);
    else if (input->duration != AV_NOPTS_VALUE && input->duration > 0)
        seconds = double(input->duration) / AV_TIME_BASE;
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
    return {};
}

}  // namespace core
