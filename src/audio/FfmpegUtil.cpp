#include "audio/FfmpegUtil.h"

#include <QtDebug>

namespace audio::ff {

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

}  // namespace audio::ff
