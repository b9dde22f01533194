#include "playback/AudioDevice.h"

#include "playback/PlayStream.h"

#include <algorithm>
#include <cstring>

namespace playback {

core::Result<std::unique_ptr<AudioDevice>> AudioDevice::open() {
    std::unique_ptr<AudioDevice> d(new AudioDevice);
    // SDL would otherwise take over SIGINT and SIGTERM, and the program
    // would no longer end when asked to.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return core::Failure{QStringLiteral("SDL audio: %1").arg(QString::fromUtf8(SDL_GetError()))};
    }
    d->subsystemUp_ = true;
    SDL_AudioSpec want{};
    want.freq = 44100;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = &AudioDevice::callback;
    want.userdata = d.get();
    d->id_ =
        SDL_OpenAudioDevice(nullptr, 0, &want, &d->spec_,
                            SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
    if (d->id_ == 0) {
        return core::Failure{QStringLiteral("Can't open the sound device: %1")
                                 .arg(QString::fromUtf8(SDL_GetError()))};
    }
    d->playing_.reserve(8);
    d->scratch_.resize(d->spec_.size > 0 ? d->spec_.size : 16384);
    return d;
}

AudioDevice::~AudioDevice() {
    if (id_) SDL_CloseAudioDevice(id_);
    if (subsystemUp_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void AudioDevice::add(PlayStream* s) {
    SDL_LockAudioDevice(id_);
    if (std::find(playing_.begin(), playing_.end(), s) == playing_.end()) playing_.push_back(s);
    SDL_UnlockAudioDevice(id_);
    SDL_PauseAudioDevice(id_, 0);
}

void AudioDevice::remove(PlayStream* s) {
    SDL_LockAudioDevice(id_);
    playing_.erase(std::remove(playing_.begin(), playing_.end(), s), playing_.end());
    const bool idle = playing_.empty();
    SDL_UnlockAudioDevice(id_);
    if (idle) SDL_PauseAudioDevice(id_, 1);
}

void AudioDevice::callback(void* self, Uint8* out, int len) {
    static_cast<AudioDevice*>(self)->mix(out, len);
}

void AudioDevice::mix(Uint8* out, int len) {
    std::memset(out, 0, size_t(len));
    bool first = true;
    for (PlayStream* s : playing_) {
        if (first) {
            // A lone stream is copied as it is, so it plays bit for bit.
            s->pull(out, len);
            first = false;
            continue;
        }
        const int n = s->pull(scratch_.data(), std::min<int>(len, int(scratch_.size())));
        auto* dst = reinterpret_cast<Sint16*>(out);
        const auto* src = reinterpret_cast<const Sint16*>(scratch_.data());
        for (int i = 0; i < n / 2; ++i) dst[i] = Sint16(std::clamp(dst[i] + src[i], -32768, 32767));
    }
}

}  // namespace playback
