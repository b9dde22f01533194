#pragma once
// WAV formats by short name on the command line: "pcm16,44100,2" or
// "ima-adpcm,22050,1" picks one of core::waveFormats()'s blocks.

#include "core/Result.h"

#include <QByteArray>
#include <QString>

namespace cli {

// What a spec leaves out; a rate or channel count of 0 keeps the source's.
// A codec without that rate or channel count takes its nearest one; MP3
// takes the listed bitrate nearest to mp3Kbps.
struct WaveSpecDefaults {
    int rate = 44100;
    int channels = 2;
    int mp3Kbps = 128;
};

// The WAVEFORMATEX block for "codec[,rate[,channels]]"; the failure is a
// one-line usage message.
core::Result<QByteArray> waveFormatFromSpec(const QString& spec, const WaveSpecDefaults& defaults);

// One line per codec: its short name, what it is, its rates and channels.
QString waveFormatListing();

}  // namespace cli
