#include "AudioFixtures.h"

#include <QtCore>

namespace fixtures {

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QString touch(const QString& path, qint64 size) {
    return writeFile(path, QByteArray(size, 'x')) ? path : QString();
}

QString freshDir(const QString& path) {
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

QStringList filesBelow(const QString& dir) {
    QStringList found;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) found << QDir(dir).relativeFilePath(it.next());
    found.sort();
    return found;
}

bool run(const QString& program, const QStringList& arguments, QString* error,
         QByteArray* standardOutput) {
    QProcess p;
    p.start(program, arguments);
    p.closeWriteChannel();
    const bool ended = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit;
    if (!ended) p.kill(), p.waitForFinished();
    if (standardOutput) *standardOutput = p.readAllStandardOutput();
    if (error) *error = program + ": " + QString::fromLocal8Bit(p.readAllStandardError());
    return ended && p.exitCode() == 0;
}

QString makeFrom(const QString& dir, const QString& name, const QString& lavfi,
                 const QStringList& outputArgs) {
    const QString path = QDir(dir).filePath(name);
    QString err;
    if (run("ffmpeg",
            QStringList{"-v", "error", "-y", "-f", "lavfi", "-i", lavfi} + outputArgs << path,
            &err))
        return path;
    qWarning().noquote() << "ffmpeg failed for" << path << err;
    return {};
}

QString make(const QString& dir, const QString& name, double seconds, int rate, int channels,
             const QStringList& outputArgs, Signal signal) {
    const QString source =
        QString(signal == Signal::Sine ? "sine=frequency=440"
                                       : "anoisesrc=color=white:amplitude=0.5:seed=7") +
        QString(":sample_rate=%1:duration=%2").arg(rate).arg(seconds, 0, 'f', 6);
    return makeFrom(
        dir, name, source,
        QStringList{"-ac", QString::number(channels), "-map_metadata", "-1"} + outputArgs);
}

ProbeResult probe(const QString& path) {
    ProbeResult r;
    QByteArray text;
    if (!run("ffprobe",
             {"-v", "error", "-select_streams", "a:0", "-show_entries",
              "stream=codec_name,sample_rate,channels,duration:stream_tags=title:format=duration:"
              "format_tags=title",
              "-of", "default=noprint_wrappers=1", path},
             &r.error, &text))
        return r;
    // The stream's fields come first, its duration before the container's.
    bool known = false;
    for (const QString& line : QString::fromUtf8(text).split('\n')) {
        const QString key = line.section('=', 0, 0), value = line.section('=', 1);
        if (key == "codec_name") r.codec = value;
        if (key == "sample_rate") r.sampleRate = value.toInt();
        if (key == "channels") r.channels = value.toInt();
        if (key.toLower() == "tag:title" && r.title.isEmpty()) r.title = value;
        if (key == "duration" && !known) r.duration = value.toDouble(&known);
    }
    r.ok = !r.codec.isEmpty();
    if (!r.ok) r.error = "no audio stream in " + path;
    return r;
}

}  // namespace fixtures
