#pragma once
// What the encoders can really produce. MPEG audio allows a fixed set of
// bitrates per sample rate; Vorbis's bitrate management reaches a range that
// depends on the rate and the channel count, which libvorbisenc is asked for.

#include "core/EncoderSettings.h"

#include <QString>

namespace core {

// The MPEG bitrate nearest kbps at sampleRate (a tie goes to the lower one).
int nearestMp3Bitrate(int sampleRate, int kbps);
// The bitrate nearest kbps that Vorbis can be set up for; 0 when none.
int nearestVorbisBitrate(int sampleRate, int channels, int kbps);

struct BitrateAdjustment {
    int kbps = 0;  // what the encoder is given
    QString note;  // empty when kbps is what was asked for
};

// The bitrate a job of this format uses, and why it differs from the one chosen.
BitrateAdjustment adjustBitrate(OutputFormat format, const EncoderSettings& settings);

}  // namespace core
