#pragma once
// The WAV formats the writer can produce: building their WAVEFORMATEX
// blocks for the format list, and reading a block back into an encoder
// choice (rejecting anything malformed or unsupported).

#include "audio/Engine.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace audio {

struct WavEncoding {
    const char* encoder = nullptr;  // FFmpeg encoder name
    int sampleRate = 0;
    int channels = 0;
    int blockAlign = 0;  // ADPCM block size in bytes, 0 otherwise
    qint64 bitRate = 0;  // MP3 only
};

QList<WaveFormatInfo> buildWaveFormats();

// The encoder for a WAVEFORMATEX block; nullopt and *error set when the
// block is malformed or not one the writer supports.
std::optional<WavEncoding> parseWaveFormat(const QByteArray& waveFormatEx, QString* error);

}  // namespace audio
