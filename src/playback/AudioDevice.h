#pragma once
// The SDL2 output device. Its callback runs on SDL's audio thread and mixes
// the streams that are playing; adding or removing one happens under the
// device lock, so the callback never sees a stream that is going away.

#include "core/Result.h"

#include <QString>

#include <SDL2/SDL.h>

#include <memory>
#include <vector>

namespace playback {

class PlayStream;

class AudioDevice {
public:
    // Starts SDL's audio and opens the default output at 44100 Hz, 16-bit
    // stereo (the device may choose another rate or channel count).
    static core::Result<std::unique_ptr<AudioDevice>> open();
    ~AudioDevice();
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

    int sampleRate() const { return spec_.freq; }
    int channels() const { return spec_.channels; }  // samples are always 16-bit signed
    int frameBytes() const { return spec_.channels * 2; }

    void add(PlayStream* s);
    void remove(PlayStream* s);

private:
    AudioDevice() = default;
    static void callback(void* self, Uint8* out, int len);
    void mix(Uint8* out, int len);

    bool subsystemUp_ = false;
    SDL_AudioDeviceID id_ = 0;
    SDL_AudioSpec spec_{};
    std::vector<PlayStream*> playing_;  // guarded by the device lock
    std::vector<Uint8> scratch_;
};

}  // namespace playback
