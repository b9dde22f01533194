#pragma once
// One file's way through the engine: the encoder of the chosen output format
// attached to its decode stream, then the stream pulled through it block by
// block until it ends or a stop is asked for.

#include "app/AppState.h"
#include "audio/Engine.h"

#include <QString>

#include <array>
#include <functional>

namespace convert {

inline constexpr qint32 kPumpBlockBytes = 20000;

struct EncoderStart {
    audio::Handle encoder = 0;  // 0: the start failed
    QString commandLine;        // MP3 and OGG: the encoder's command line
    QString failureReason;
};

// Attaches the encoder for formatIndex (0 WAV, 1 MP3, 2 OGG). WAV writes the
// format held in state.AcmFormat, which the caller has had chosen already.
EncoderStart StartEncoder(audio::Engine& engine, audio::Handle stream, int formatIndex,
                          const QString& outputPath, const app::AppState& state,
                          const QString& appFolder);

// Pulls the stream through its encoder until the engine reports it inactive.
// globalStop is read after every block (it may change during yield), and
// yield runs once per block so the window stays alive.
class StreamPump {
public:
    void run(audio::Engine& engine, audio::Handle stream, const qint16& globalStop,
             const std::function<void()>& yield);

private:
    std::array<char, kPumpBlockBytes + 1> m_buffer{};  // contents never used
};

}  // namespace convert
