#include "convert/EncoderCommand.h"

#include "app/PathHelpers.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace convert {
namespace {

#ifdef Q_OS_WIN
constexpr char kProgramSuffix[] = ".exe";
#else
constexpr char kProgramSuffix[] = "";
#endif

QString ProgramName(const char* stem) {
    return QLatin1String(stem) + QLatin1String(kProgramSuffix);
}

QString ResolveProgram(const QString& appFolder, const QString& name) {
    const QFileInfo local(appFolder + app::PathSeparator() + name);
    if (local.isFile() && local.isExecutable()) return local.absoluteFilePath();
    return QStandardPaths::findExecutable(name);
}

// lame would read a relative name such as "-b8.mp3" as options; "./" keeps
// it the same file and makes it a plain name.
QString SafeFileArgument(const QString& path) {
    if (path.startsWith(QLatin1Char('-'))) return QStringLiteral("./") + path;
    return path;
}

EncoderCommandLine BuildLame(const app::AppState& state, const QString& appFolder,
                             const QString& outputPath) {
    const QString name = ProgramName("lame");
    const QString mode = state.Stereo == 1 ? QStringLiteral("-ms") : QStringLiteral("-mm");
    const QString bitrate = QString::number(state.Bitrate);
    const QString khz = KilohertzText(state.SampleRate);

    EncoderCommandLine result;
    result.commandLine = appFolder + app::PathSeparator() + name + QStringLiteral(" -h ") + mode +
                         QStringLiteral(" -b") + bitrate + QStringLiteral(" -s") + khz +
                         QStringLiteral(" - \"") + outputPath + QLatin1Char('"');

    audio::CommandEncoder& encoder = result.encoder;
    encoder.program = ResolveProgram(appFolder, name);
    encoder.arguments = {QStringLiteral("-h"),
                         mode,
                         QStringLiteral("-b") + bitrate,
                         QStringLiteral("-s") + khz,
                         QStringLiteral("-"),
                         SafeFileArgument(outputPath)};
    encoder.sampleRate = state.SampleRate;
    encoder.channels = 0;  // lame gets the source's channels, folded to at most two
    encoder.wavHeader = true;
    return result;
}

EncoderCommandLine BuildOggenc(const app::AppState& state, const QString& appFolder,
                               const QString& outputPath) {
    const QString name = ProgramName("oggenc");
    const bool stereo = state.Stereo == 1;
    const QString bitrate = QString::number(state.Bitrate);
    const QString rate = QString::number(state.SampleRate);

    EncoderCommandLine result;
    result.commandLine =
        appFolder + app::PathSeparator() + name +
        (stereo ? QStringLiteral(" --bitrate") : QStringLiteral(" --raw-chan=1 --bitrate")) +
        QLatin1Char('=') + bitrate + QStringLiteral(" - --raw-rate=") + rate +
        QStringLiteral(" --output=\"") + outputPath + QLatin1Char('"');

    audio::CommandEncoder& encoder = result.encoder;
    encoder.program = ResolveProgram(appFolder, name);
    if (!stereo) encoder.arguments << QStringLiteral("--raw-chan=1");
    encoder.arguments << QStringLiteral("--bitrate=") + bitrate << QStringLiteral("-")
                      << QStringLiteral("--raw-rate=") + rate
                      << QStringLiteral("--output=") + outputPath;
    encoder.sampleRate = state.SampleRate;
    // The raw options describe the input, so the audio must be exactly that.
    encoder.channels = stereo ? 2 : 1;
    encoder.wavHeader = false;
    return result;
}

}  // namespace

QString KilohertzText(qint32 sampleRate) {
    const qint64 hz = sampleRate;  // 64-bit so that the minimum value negates safely
    const qint64 magnitude = hz < 0 ? -hz : hz;
    QString text = QString::number(magnitude / 1000);
    if (const qint64 millis = magnitude % 1000; millis != 0) {
        QString fraction = QStringLiteral("%1").arg(millis, 3, 10, QLatin1Char('0'));
        while (fraction.endsWith(QLatin1Char('0'))) fraction.chop(1);
        text += QLatin1Char('.') + fraction;
    }
    return hz < 0 ? QLatin1Char('-') + text : text;
}

EncoderCommandLine BuildEncoderCommand(int formatIndex, const app::AppState& state,
                                       const QString& appFolder, const QString& outputPath) {
    switch (formatIndex) {
        case 1:
            return BuildLame(state, appFolder, outputPath);
        case 2:
            return BuildOggenc(state, appFolder, outputPath);
        default:
            return {};
    }
}

}  // namespace convert
