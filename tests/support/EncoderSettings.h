#pragma once
// The shared encoder settings a test starts from.

#include "core/AppState.h"

namespace fixtures {

inline core::AppState EncoderSettings(qint32 bitrate, qint32 sampleRate, qint16 stereo) {
    core::AppState state;
    state.Bitrate = bitrate;
    state.SampleRate = sampleRate;
    state.Stereo = stereo;
    return state;
}

}  // namespace fixtures
