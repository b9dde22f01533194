#include "core/FfmpegUtil.h"

#include <QCoreApplication>
#include <QtDebug>

#include <cstring>

namespace core::ff {

namespace {

QString reason(const char* text) {
    return QCoreApplication::translate("core", text);
}

bool startsWith(const char* call, const char* prefix) {
    return std::strncmp(call, prefix, std::strlen(prefix)) == 0;
}

}  // namespace

// What an error means to a person: by the error where it says enough, else
// by which end of the conversion the call served.
QString readableReason(const char* call, int err, Side side) {
    switch (err) {
        case AVERROR(ENOMEM):
            return reason(QT_TRANSLATE_NOOP("core", "Not enough memory"));
        case AVERROR(ENOSPC):
            return reason(QT_TRANSLATE_NOOP("core", "The disk is full"));
        case AVERROR(EDQUOT):
            return reason(QT_TRANSLATE_NOOP("core", "The disk quota is used up"));
        case AVERROR(EACCES):
        case AVERROR(EPERM):
            return side == Side::Reading
                       ? reason(
                             QT_TRANSLATE_NOOP("core", "The file can't be read: permission denied"))
                       : reason(QT_TRANSLATE_NOOP(
                             "core", "The output can't be written: permission denied"));
        case AVERROR(ENOENT):
            return reason(QT_TRANSLATE_NOOP("core", "The file does not exist"));
        case AVERROR(EIO):
            return reason(QT_TRANSLATE_NOOP("core", "The disk reported an error"));
        case AVERROR_STREAM_NOT_FOUND:
            return reason(QT_TRANSLATE_NOOP("core", "The file holds no audio stream"));
        case AVERROR_DECODER_NOT_FOUND:
            return reason(QT_TRANSLATE_NOOP("core", "This kind of audio can't be decoded"));
        case AVERROR_ENCODER_NOT_FOUND:
            return reason(QT_TRANSLATE_NOOP("core", "This output format can't be encoded here"));
        default:
            break;
    }
    if (startsWith(call, "swr_"))
        return reason(QT_TRANSLATE_NOOP(
            "core", "The audio can't be converted to the output's rate and channels"));
    if (side == Side::Writing)
        return startsWith(call, "avcodec_")
                   ? reason(QT_TRANSLATE_NOOP("core", "The audio can't be encoded"))
                   : reason(QT_TRANSLATE_NOOP("core", "The output can't be written"));
    return reason(QT_TRANSLATE_NOOP("core", "Not an audio file, or the file is damaged"));
}

QString errorText(int err) {
    char buf[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(err, buf, sizeof buf);
    return QString::fromLocal8Bit(buf);
}

QString logError(const char* call, int err, Side side) {
    qWarning().noquote()
        << QStringLiteral("%1 failed: %2").arg(QLatin1String(call), errorText(err));
    return readableReason(call, err, side);
}

void quietLogging() {
    av_log_set_level(AV_LOG_ERROR);
}

namespace {

QString libraryMismatch(const char* name, unsigned runtime, unsigned built) {
    const unsigned major = AV_VERSION_MAJOR(runtime);
    // A newer minor version keeps the interface we were built against.
    if (major != AV_VERSION_MAJOR(built) || AV_VERSION_MINOR(runtime) < AV_VERSION_MINOR(built))
        return QStringLiteral("%1.so.%2").arg(QLatin1String(name)).arg(major);
    return {};
}

}  // namespace

QString versionMismatch() {
    QString m = libraryMismatch("libavformat", avformat_version(), LIBAVFORMAT_VERSION_INT);
    if (m.isEmpty()) m = libraryMismatch("libavcodec", avcodec_version(), LIBAVCODEC_VERSION_INT);
    if (m.isEmpty())
        m = libraryMismatch("libswresample", swresample_version(), LIBSWRESAMPLE_VERSION_INT);
    if (m.isEmpty()) m = libraryMismatch("libavutil", avutil_version(), LIBAVUTIL_VERSION_INT);
    return m;
}

}  // namespace core::ff
