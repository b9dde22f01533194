#pragma once
// The shared encoder settings a test starts from.

#include "app/AppState.h"

namespace fixtures {

inline app::AppState EncoderSettings(qint32 bitrate, qint32 sampleRate, qint16 stereo) {
    app::AppState state;
    state.Bitrate = bitrate;
    state.SampleRate = sampleRate;
    state.Stereo = stereo;
    return state;
}

}  // namespace fixtures
