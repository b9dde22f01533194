#pragma once
// Real audio files for tests, made by the real ffmpeg, and ffprobe to look
// at what a test produced. Makers return the full path of the file they
// made, or an empty string on failure (with a warning); callers QVERIFY it.

#include <QStringList>

namespace fixtures {

enum class Signal { Sine, Noise };

struct ProbeResult {
    bool ok = false;
    QString codec;  // ffprobe's codec_name, e.g. "pcm_s16le", "mp3", "vorbis"
    int sampleRate = 0;
    int channels = 0;
    double duration = 0;  // seconds, from the stream (else the container)
    QString title;        // the stream's or the container's title tag
    QString error;
};

// A whole file's bytes (empty when it can't be read), and writing them (the folder made).
QByteArray readFile(const QString& path);
bool writeFile(const QString& path, const QByteArray& bytes);
// A file of size bytes that are no audio; its path, or an empty string.
QString touch(const QString& path, qint64 size = 10);
// The folder at path, emptied or made.
QString freshDir(const QString& path);
// Every file below dir, hidden ones too, as paths relative to it, sorted.
QStringList filesBelow(const QString& dir);

// Runs program with arguments (no shell); true on exit status 0, else *error gets its stderr.
bool run(const QString& program, const QStringList& arguments, QString* error = nullptr,
         QByteArray* standardOutput = nullptr);

// What ffmpeg makes of a lavfi source ("aevalsrc=sin(2*PI*1000*t):s=48000:d=1")
// with outputArgs, in dir/name.
QString makeFrom(const QString& dir, const QString& name, const QString& lavfi,
                 const QStringList& outputArgs = {});

// A 440 Hz sine (or white noise) of that length, rate and channels, written
// by ffmpeg with outputArgs (codec, container) into dir/name.
QString make(const QString& dir, const QString& name, double seconds, int rate, int channels,
             const QStringList& outputArgs, Signal signal = Signal::Sine);

// WAV; codec is an ffmpeg encoder name such as "pcm_s16le".
inline QString makeWav(const QString& dir, const QString& name, double seconds, int rate,
                       int channels, const QString& codec = "pcm_s16le",
                       Signal signal = Signal::Sine) {
    return make(dir, name, seconds, rate, channels, {"-c:a", codec, "-f", "wav"}, signal);
}

// The container the name's extension picks, by encoder name: ("x.mp3", "libmp3lame"),
// ("x.ogg", "libvorbis"), ("x.flac", "flac")...
inline QString makeEncoded(const QString& dir, const QString& name, double seconds, int rate,
                           int channels, const QString& codec) {
    return make(dir, name, seconds, rate, channels, {"-c:a", codec});
}

// Headerless VOX: seconds x 4000 bytes of noise, which decode as Dialogic OKI
// ADPCM (two 4-bit samples per byte) to seconds x 8000 mono samples.
inline QString makeVox(const QString& dir, const QString& name, double seconds) {
    return make(dir, name, seconds, 4000, 1, {"-f", "u8"}, Signal::Noise);
}

// Headerless 16-bit little-endian PCM.
inline QString makeRaw(const QString& dir, const QString& name, double seconds, int rate = 44100,
                       int channels = 2) {
    return make(dir, name, seconds, rate, channels, {"-f", "s16le"});
}

// Codec, rate, channels and duration of the first audio stream, from ffprobe.
ProbeResult probe(const QString& path);

}  // namespace fixtures
