#include "core/EncoderSettings.h"

namespace core {

std::optional<OutputFormat> outputFormatFromIndex(int index) {
    switch (index) {
        case 0:
            return OutputFormat::Wav;
        case 1:
            return OutputFormat::Mp3;
        case 2:
            return OutputFormat::Ogg;
        default:
            return std::nullopt;
    }
}

int outputFormatIndex(OutputFormat format) {
    return static_cast<int>(format);
}

QString outputExtension(OutputFormat format) {
    switch (format) {
        case OutputFormat::Wav:
            return QStringLiteral("wav");
        case OutputFormat::Mp3:
            return QStringLiteral("mp3");
        case OutputFormat::Ogg:
            return QStringLiteral("ogg");
    }
    return QString();
}

}  // namespace core
