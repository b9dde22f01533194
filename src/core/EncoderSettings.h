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

// sampleRate's value for "the source's own rate".
inline constexpr qint32 kSourceSampleRate = 0;

struct EncoderSettings {
    qint32 bitrate = 0;                     // kbps
    qint32 sampleRate = kSourceSampleRate;  // Hz
    bool stereo = false;                    // two channels, else one
    // The source's channel count instead of stereo's choice. A format that
    // can't take the source's rate or channels gets the nearest it can.
    bool sourceChannels = false;
};

}  // namespace core
