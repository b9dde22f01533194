#pragma once
// The WAV formats the writer can produce: building their WAVEFORMATEX
// blocks for the format list, and reading a block back into an encoder
// choice (rejecting anything malformed or unsupported).

#include "core/Result.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace core {

// One WAV format the writer can produce, as a WAVEFORMATEX block
// (little-endian, cbSize extra bytes included) plus what it says, set where
// the block is built so that nobody reads it back.
struct WaveFormatInfo {
    QByteArray waveFormatEx;
    QString formatName;   // "PCM", "IMA ADPCM", "GSM 6.10" ...
    QString attributes;   // "44100 Hz, 16 bit, Stereo"
    QString codec;        // the command line's name: "pcm16", "ima-adpcm", "mp3" ...
    QString description;  // the codec as the command line lists it: "PCM 16 bit"
    quint16 formatTag = 0;
    int bitsPerSample = 0;  // as the block states it: 0 for GSM 6.10 and MP3
    int sampleRate = 0;
    int channels = 0;
    int averageKbps = 0;  // the block's byte rate in kbit/s, rounded down
};

struct WavEncoding {
    const char* encoder = nullptr;  // FFmpeg encoder name
    int sampleRate = 0;             // 0: the source's
    int channels = 0;               // 0: the source's
    int blockAlign = 0;             // ADPCM block size in bytes, 0 otherwise
    qint64 bitRate = 0;             // MP3 only
};

// Every format the writer offers, built once.
const QList<WaveFormatInfo>& waveFormats();
// Size of the largest block among waveFormats().
qint32 largestWaveFormatSize();

// The encoder for a WAVEFORMATEX block; fails when the block is malformed
// or not one the writer supports. A block whose rate or channel count is 0
// (its byte rate and block alignment then 0 too) keeps the source's.
Result<WavEncoding> parseWaveFormat(const QByteArray& waveFormatEx);

// One of waveFormats()'s blocks made to keep the source's rate and/or channels.
QByteArray sourceFollowingWaveFormat(const QByteArray& listed, bool sourceRate,
                                     bool sourceChannels);

// Settles an encoding's rate and channels for a source: the source's where it
// asks for them, the nearest the codec can take where it can't take those.
// Returns the note saying so (empty when nothing had to give).
QString fitWaveEncoding(WavEncoding& encoding, int sourceRate, int sourceChannels);

}  // namespace core
