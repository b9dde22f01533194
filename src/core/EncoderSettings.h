#pragma once
// The encoder settings a conversion uses: the bitrate, rate and channels
// the MP3 and OGG command lines were first built from, and each format's
// chosen mode and numbers.

#include "core/OutputFormats.h"

#include <QMap>
#include <QString>
#include <QtGlobal>

namespace core {

// sampleRate's value for "the source's own rate".
inline constexpr qint32 kSourceSampleRate = 0;

struct EncoderSettings {
    qint32 bitrate = 0;                     // kbps, settings key "3": MP3 and OGG
    qint32 sampleRate = kSourceSampleRate;  // Hz
    bool stereo = false;                    // two channels, else one
    // The source's channel count instead of stereo's choice. A format that
    // can't take the source's rate or channels gets the nearest it can.
    bool sourceChannels = false;
    // Each format's chosen mode id by its modeKey, and each mode's number by
    // its settingsKey ("3" is bitrate). Missing: the table's default.
    QMap<QString, QString> modes = {};
    QMap<QString, qint32> values = {};
};

const EncoderMode* chosenMode(const FormatInfo& format, const EncoderSettings& settings);
void chooseMode(const FormatInfo& format, const EncoderMode& mode, EncoderSettings& settings);
qint32 modeNumber(const EncoderMode& mode, const EncoderSettings& settings);
void setModeNumber(const EncoderMode& mode, qint32 value, EncoderSettings& settings);

}  // namespace core
