#pragma once
// The lame and oggenc command lines built from the encoder settings: the
// text as the user would type it, and the argument list and audio spec that
// actually start the process (never through a shell).

#include "app/AppState.h"
#include "audio/Engine.h"

#include <QString>

namespace convert {

struct EncoderCommandLine {
    QString commandLine;  // for display and comparison; never executed as text
    audio::CommandEncoder encoder;
};

// SampleRate / 1000 as exact decimal text without trailing zeros: 44100 -> "44.1".
QString KilohertzText(qint32 sampleRate);

// formatIndex 1 builds the lame line, 2 the oggenc line; any other index
// gives an empty result (no text, no program). The program is taken from
// appFolder when it is an executable file there, else from the PATH; it is
// empty when found nowhere.
EncoderCommandLine BuildEncoderCommand(int formatIndex, const app::AppState& state,
                                       const QString& appFolder, const QString& outputPath);

}  // namespace convert
