#include "AudioFixtures.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtDebug>

namespace fixtures {

namespace {

QString num(double v) {
    return QString::number(v, 'f', 6);
}

QStringList sourceArgs(double seconds, int rate, Signal signal) {
    const QString src =
        signal == Signal::Sine
            ? QStringLiteral("sine=frequency=440:sample_rate=%1:duration=%2")
                  .arg(rate)
                  .arg(num(seconds))
            : QStringLiteral(
                  "anoisesrc=color=white:amplitude=0.5:sample_rate=%1:duration=%2:seed=7")
                  .arg(rate)
                  .arg(num(seconds));
    return {QStringLiteral("-v"),
            QStringLiteral("error"),
            QStringLiteral("-y"),
            QStringLiteral("-f"),
            QStringLiteral("lavfi"),
            QStringLiteral("-i"),
            src};
}

QString ffmpegTo(const QString& path, double seconds, int rate, int channels, Signal signal,
                 const QStringList& outputArgs) {
    QStringList args = sourceArgs(seconds, rate, signal);
    args << QStringLiteral("-ac") << QString::number(channels) << QStringLiteral("-map_metadata")
         << QStringLiteral("-1") << outputArgs << path;
    QString err;
    if (!run(QStringLiteral("ffmpeg"), args, &err)) {
        qWarning().noquote() << "ffmpeg failed for" << path << err;
        return {};
    }
    return path;
}

}  // namespace

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

bool run(const QString& program, const QStringList& arguments, QString* error,
         QByteArray* standardOutput) {
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForStarted(10000)) {
        if (error) *error = QStringLiteral("%1 did not start").arg(program);
        return false;
    }
    p.closeWriteChannel();
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        if (error) *error = QStringLiteral("%1 timed out").arg(program);
        return false;
    }
    if (standardOutput) *standardOutput = p.readAllStandardOutput();
    if (error) *error = QString::fromLocal8Bit(p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QString makeWav(const QString& dir, const QString& name, double seconds, int rate, int channels,
                const QString& codec, Signal signal) {
    return ffmpegTo(QDir(dir).filePath(name), seconds, rate, channels, signal,
                    {QStringLiteral("-c:a"), codec, QStringLiteral("-f"), QStringLiteral("wav")});
}

QString makeMp3(const QString& dir, const QString& name, double seconds, int rate, int channels,
                int kbps) {
    const QString wav = makeWav(dir, name + QStringLiteral(".src.wav"), seconds, rate, channels);
    if (wav.isEmpty()) return {};
    const QString out = QDir(dir).filePath(name);
    QString err;
    const bool ok =
        run(QStringLiteral("lame"),
            {QStringLiteral("--quiet"), QStringLiteral("-b%1").arg(kbps), wav, out}, &err);
    QFile::remove(wav);
    if (!ok) qWarning().noquote() << "lame failed:" << err;
    return ok ? out : QString();
}

QString makeOgg(const QString& dir, const QString& name, double seconds, int rate, int channels) {
    const QString wav = makeWav(dir, name + QStringLiteral(".src.wav"), seconds, rate, channels);
    if (wav.isEmpty()) return {};
    const QString out = QDir(dir).filePath(name);
    QString err;
    const bool ok = run(QStringLiteral("oggenc"),
                        {QStringLiteral("--quiet"), QStringLiteral("--output=") + out, wav}, &err);
    QFile::remove(wav);
    if (!ok) qWarning().noquote() << "oggenc failed:" << err;
    return ok ? out : QString();
}

QString makeEncoded(const QString& dir, const QString& name, double seconds, int rate, int channels,
                    const QString& codec) {
    return ffmpegTo(QDir(dir).filePath(name), seconds, rate, channels, Signal::Sine,
                    {QStringLiteral("-c:a"), codec});
}

QString makeFlac(const QString& dir, const QString& name, double seconds, int rate, int channels) {
    return makeEncoded(dir, name, seconds, rate, channels, QStringLiteral("flac"));
}

QString makeVox(const QString& dir, const QString& name, double seconds) {
    return ffmpegTo(QDir(dir).filePath(name), seconds, 4000, 1, Signal::Noise,
                    {QStringLiteral("-f"), QStringLiteral("u8")});
}

QString makeRaw(const QString& dir, const QString& name, double seconds, int rate, int channels) {
    return ffmpegTo(QDir(dir).filePath(name), seconds, rate, channels, Signal::Sine,
                    {QStringLiteral("-f"), QStringLiteral("s16le")});
}

QByteArray decodeToPcm(const QString& path) {
    QByteArray out;
    QString err;
    if (!run(QStringLiteral("ffmpeg"),
             {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), path,
              QStringLiteral("-f"), QStringLiteral("s16le"), QStringLiteral("-")},
             &err, &out)) {
        qWarning().noquote() << "ffmpeg could not decode" << path << err;
        return {};
    }
    return out;
}

ProbeResult probe(const QString& path) {
    ProbeResult r;
    QByteArray json;
    if (!run(QStringLiteral("ffprobe"),
             {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-select_streams"),
              QStringLiteral("a:0"), QStringLiteral("-show_entries"),
              QStringLiteral("stream=codec_name,sample_rate,channels,duration:format=duration"),
              QStringLiteral("-of"), QStringLiteral("json"), path},
             &r.error, &json))
        return r;
    const QJsonObject root = QJsonDocument::fromJson(json).object();
    const QJsonArray streams = root.value(QStringLiteral("streams")).toArray();
    if (streams.isEmpty()) {
        r.error = QStringLiteral("no audio stream in %1").arg(path);
        return r;
    }
    const QJsonObject s = streams.first().toObject();
    r.codec = s.value(QStringLiteral("codec_name")).toString();
    r.sampleRate = s.value(QStringLiteral("sample_rate")).toString().toInt();
    r.channels = s.value(QStringLiteral("channels")).toInt();
    bool ok = false;
    r.duration = s.value(QStringLiteral("duration")).toString().toDouble(&ok);
    if (!ok)
        r.duration = root.value(QStringLiteral("format"))
                         .toObject()
                         .value(QStringLiteral("duration"))
                         .toString()
                         .toDouble();
    r.ok = true;
    return r;
}

}  // namespace fixtures
