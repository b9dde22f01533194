#include "core/EncoderSettings.h"

namespace core {

namespace {
bool isBitrateKey(const EncoderMode& mode) {
    return QLatin1String(mode.settingsKey) == QLatin1String("3");
}
}  // namespace

const EncoderMode* chosenMode(const FormatInfo& format, const EncoderSettings& settings) {
    if (format.modes.empty()) return nullptr;
    if (format.modeKey)
        if (const EncoderMode* m =
                findMode(format, settings.modes.value(QLatin1String(format.modeKey))))
            return m;
    return &format.modes.front();
}

void chooseMode(const FormatInfo& format, const EncoderMode& mode, EncoderSettings& settings) {
    if (format.modeKey)
        settings.modes.insert(QLatin1String(format.modeKey), QLatin1String(mode.id));
}

qint32 modeNumber(const EncoderMode& mode, const EncoderSettings& settings) {
    if (isBitrateKey(mode)) return settings.bitrate;
    return settings.values.value(QLatin1String(mode.settingsKey), mode.defaultValue);
}

void setModeNumber(const EncoderMode& mode, qint32 value, EncoderSettings& settings) {
    if (isBitrateKey(mode))
        settings.bitrate = value;
    else
        settings.values.insert(QLatin1String(mode.settingsKey), value);
}

}  // namespace core
