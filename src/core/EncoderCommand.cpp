#include "core/EncoderCommand.h"

#include "core/PathHelpers.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace core {
namespace {

#ifdef Q_OS_WIN
constexpr char kProgramSuffix[] = ".exe";
#else
constexpr char kProgramSuffix[] = "";
#endif

QString programName(const char* stem) {
    return QLatin1String(stem) + QLatin1String(kProgramSuffix);
}

QString resolveProgram(const QString& appFolder, const QString& name) {
    const QFileInfo local(appFolder + core::pathSeparator() + name);
    if (local.isFile() && local.isExecutable()) return local.absoluteFilePath();
    return QStandardPaths::findExecutable(name);
}

// lame would read a relative name such as "-b8.mp3" as options; "./" keeps
// it the same file and makes it a plain name.
QString safeFileArgument(const QString& path) {
    if (path.startsWith(QLatin1Char('-'))) return QStringLiteral("./") + path;
    return path;
}

EncoderCommandLine buildLame(const EncoderSettings& settings, const QString& appFolder,
                             const QString& outputPath) {
    EncoderCommandLine result;
    const QString name = programName("lame");
    const EncoderMode& chosen = *chosenMode(formatInfo(OutputFormat::Mp3), settings);
    const QLatin1String modeId(chosen.id);
    const QString number = QString::number(modeNumber(chosen, settings));
    // Constant bitrate keeps its simple stereo; the others use lame's joint stereo.
    const bool constant = modeId == QLatin1String("cbr");
    const QString channels = !settings.stereo ? QStringLiteral("-mm")
                             : constant       ? QStringLiteral("-ms")
                                              : QStringLiteral("-mj");
    QStringList quality;
    if (constant)
        quality << QStringLiteral("-b") + number;
    else if (modeId == QLatin1String("vbr"))
        quality << QStringLiteral("-V") + number;
    else
        quality << QStringLiteral("--abr") << number;
    const QString khz = kilohertzText(settings.sampleRate);

    CommandEncoder& encoder = result.encoder;
    encoder.program = resolveProgram(appFolder, name);
    encoder.arguments =
        QStringList{QStringLiteral("-h"), channels} + quality +
        QStringList{QStringLiteral("-s") + khz,
                    // lame would otherwise pick its own output rate from the bitrate.
                    QStringLiteral("--resample"), khz};
    result.commandLine = appFolder + core::pathSeparator() + name + QLatin1Char(' ') +
                         encoder.arguments.join(QLatin1Char(' ')) + QStringLiteral(" - \"") +
                         outputPath + QLatin1Char('"');
    encoder.arguments << QStringLiteral("-") << safeFileArgument(outputPath);
    encoder.sampleRate = settings.sampleRate;
    // -ms and -mm describe the file; the audio given matches, so a mono source
    // still makes a stereo file when stereo was chosen.
    encoder.channels = settings.stereo ? 2 : 1;
    encoder.wavHeader = true;
    return result;
}

EncoderCommandLine buildOggenc(const EncoderSettings& settings, const QString& appFolder,
                               const QString& outputPath) {
    const QString name = programName("oggenc");
    const bool stereo = settings.stereo;
    const EncoderMode& chosen = *chosenMode(formatInfo(OutputFormat::Ogg), settings);
    const QString quality = QStringLiteral("--%1=%2").arg(
        QLatin1String(chosen.value == ModeValue::Kbps ? "bitrate" : "quality"),
        QString::number(modeNumber(chosen, settings)));
    const QString rate = QString::number(settings.sampleRate);

    EncoderCommandLine result;
    CommandEncoder& encoder = result.encoder;
    encoder.program = resolveProgram(appFolder, name);
    if (!stereo) encoder.arguments << QStringLiteral("--raw-chan=1");
    encoder.arguments << quality << QStringLiteral("-") << QStringLiteral("--raw-rate=") + rate;
    result.commandLine = appFolder + core::pathSeparator() + name + QLatin1Char(' ') +
                         encoder.arguments.join(QLatin1Char(' ')) + QStringLiteral(" --output=\"") +
                         outputPath + QLatin1Char('"');
    encoder.arguments << QStringLiteral("--output=") + outputPath;
    encoder.sampleRate = settings.sampleRate;
    // The raw options describe the input, so the audio must be exactly that.
    encoder.channels = stereo ? 2 : 1;
    encoder.wavHeader = false;
    return result;
}

}  // namespace

QString kilohertzText(qint32 sampleRate) {
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

EncoderCommandLine buildEncoderCommand(OutputFormat format, const EncoderSettings& settings,
                                       const QString& appFolder, const QString& outputPath) {
    switch (format) {
        case OutputFormat::Mp3:
            return buildLame(settings, appFolder, outputPath);
        case OutputFormat::Ogg:
            return buildOggenc(settings, appFolder, outputPath);
        default:
            return {};  // not a command-line encoder
    }
}

}  // namespace core
