#pragma once
// The lame and oggenc command lines built from the encoder settings: the
// text as the user would type it, and the argument list and audio spec that
// actually start the process (never through a shell).

#include "core/EncoderProcess.h"
#include "core/EncoderSettings.h"

#include <QString>

namespace core {

struct EncoderCommandLine {
    QString commandLine;  // for display and comparison; never executed as text
    CommandEncoder encoder;
};

// SampleRate / 1000 as exact decimal text without trailing zeros: 44100 -> "44.1".
QString kilohertzText(qint32 sampleRate);

// Mp3 builds the lame line, Ogg the oggenc line, in the format's chosen
// mode; other formats give an empty result (no text, no program). The program is taken from
// appFolder when it is an executable file there, else from the PATH; it is
// empty when found nowhere.
EncoderCommandLine buildEncoderCommand(OutputFormat format, const EncoderSettings& settings,
                                       const QString& appFolder, const QString& outputPath);

}  // namespace core
