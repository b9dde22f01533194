#pragma once
// What the encoders can really produce. MPEG audio allows a fixed set of
// bitrates per sample rate; Vorbis's bitrate management reaches a range that
// depends on the rate and the channel count, which libvorbisenc is asked for.

#include "core/EncoderSettings.h"

#include <QString>

#include <span>

namespace core {

// The rates and channel counts a format can be written with.
struct OutputCapacity {
    QString formatName;          // for the note: "MP3", "Ogg Vorbis"
    std::span<const int> rates;  // the rates it takes; empty: any from minRate to maxRate
    int minRate = 0;
    int maxRate = 0;
    int maxChannels = 2;
};

struct FittedAudio {
    int sampleRate = 0;
    int channels = 0;
    QString note;  // empty when the output is what was asked for (or the source's)
};

// The rate and channels an output is written with: the asked ones, where a
// 0 asks for the source's; what the format can't take becomes the nearest
// it can, and the note says so.
FittedAudio fitToOutput(const OutputCapacity& capacity, int askedRate, int askedChannels,
                        int sourceRate, int sourceChannels);
// What the format's entry in the table says it takes.
OutputCapacity encoderCapacity(OutputFormat format);

// The bitrates MPEG audio (as lame writes it) allows at sampleRate, ascending.
std::span<const int> mpegBitrates(int sampleRate);
// The MPEG bitrate nearest kbps at sampleRate (a tie goes to the lower one).
int nearestMp3Bitrate(int sampleRate, int kbps);
// The bitrate nearest kbps that Vorbis can be set up for; 0 when none.
int nearestVorbisBitrate(int sampleRate, int channels, int kbps);

struct BitrateAdjustment {
    int kbps = 0;  // what the encoder is given
    QString note;  // empty when kbps is what was asked for
};

// The bitrate a job of this format uses in its chosen mode (a fixed
// bitrate is moved to one the encoder can reach), and why it differs.
BitrateAdjustment adjustBitrate(OutputFormat format, const EncoderSettings& settings);

}  // namespace core
