#include "convert/EncoderPipeline.h"

#include "convert/EncoderCommand.h"

namespace convert {

EncoderStart StartEncoder(audio::Engine& engine, audio::Handle stream, int formatIndex,
                          const QString& outputPath, const app::AppState& state,
                          const QString& appFolder) {
    EncoderStart start;
    if (stream == 0) {
        start.failureReason = engine.lastError();
        if (start.failureReason.isEmpty())
            start.failureReason = QStringLiteral("The file cannot be decoded");
        return start;
    }
    switch (formatIndex) {
        case 0:
            start.encoder = engine.encodeStartACMFile(stream, state.AcmFormat, outputPath);
            break;
        case 1:
        case 2: {
            const EncoderCommandLine command =
                BuildEncoderCommand(formatIndex, state, appFolder, outputPath);
            start.commandLine = command.commandLine;
            if (command.encoder.program.isEmpty()) {
                start.failureReason =
                    QStringLiteral("%1 not found")
                        .arg(formatIndex == 1 ? QStringLiteral("lame") : QStringLiteral("oggenc"));
                return start;
            }
            start.encoder = engine.encodeStart(stream, command.encoder);
            break;
        }
        default:
            start.failureReason = QStringLiteral("No output format is selected");
            return start;
    }
    if (start.encoder == 0) start.failureReason = engine.lastError();
    return start;
}

void StreamPump::run(audio::Engine& engine, audio::Handle stream, const qint16& globalStop,
                     const std::function<void()>& yield) {
    while (engine.channelIsActive(stream)) {
        engine.channelGetData(stream, m_buffer.data(), kPumpBlockBytes);
        // Tested before the yield: a Stop given during it takes effect after the next block.
        if (globalStop) engine.channelStop(stream);
        if (yield) yield();
    }
}

}  // namespace convert
