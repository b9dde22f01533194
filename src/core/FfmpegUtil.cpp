#include "core/FfmpegUtil.h"

#include <QtDebug>

namespace core::ff {

QString errorText(int err) {
    char buf[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(err, buf, sizeof buf);
    return QString::fromLocal8Bit(buf);
}

QString logError(const char* call, int err) {
    const QString msg = QStringLiteral("%1 failed: %2").arg(QLatin1String(call), errorText(err));
    qWarning().noquote() << msg;
    return msg;
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
