#pragma once
// What a conversion produces: the output format and the settings of the
// MP3 and OGG encoders.

#include <QString>
#include <QtGlobal>

#include <optional>

namespace core {

enum class OutputFormat { Wav, Mp3, Ogg };

// The settings file and the format list number the formats 0, 1, 2; any
// other index is no format.
std::optional<OutputFormat> outputFormatFromIndex(int index);
int outputFormatIndex(OutputFormat format);
// "wav", "mp3", "ogg".
QString outputExtension(OutputFormat format);

struct EncoderSettings {
    qint32 bitrate = 0;     // kbps
    qint32 sampleRate = 0;  // Hz
    bool stereo = false;
};

}  // namespace core
