#pragma once
// Real audio files for tests, made by the real ffmpeg, lame and oggenc
// programs, and ffprobe to look at what a test produced. Every function
// returns the full path of the file it made, or an empty string on failure
// (with a QWARN-visible message); callers QVERIFY the result.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace fixtures {

enum class Signal { Sine, Noise };

struct ProbeResult {
    bool ok = false;
    QString codec;  // ffprobe's codec_name, e.g. "pcm_s16le", "mp3", "vorbis"
    int sampleRate = 0;
    int channels = 0;
    double duration = 0;  // seconds, from the stream (else the container)
    QString error;
};

// A whole file's bytes (empty when it can't be read), and writing them.
QByteArray readFile(const QString& path);
bool writeFile(const QString& path, const QByteArray& bytes);

// Runs program with arguments (no shell); true on exit status 0, else *error gets its stderr.
bool run(const QString& program, const QStringList& arguments, QString* error = nullptr,
         QByteArray* standardOutput = nullptr);

// WAV of a 440 Hz sine or white noise; codec is an ffmpeg encoder name such as "pcm_s16le".
QString makeWav(const QString& dir, const QString& name, double seconds, int rate, int channels,
                const QString& codec = QStringLiteral("pcm_s16le"), Signal signal = Signal::Sine);

// MP3 encoded by lame (CBR kbps) from a sine WAV of the given rate and channels.
QString makeMp3(const QString& dir, const QString& name, double seconds, int rate, int channels,
                int kbps = 128);

// Ogg Vorbis encoded by oggenc from a sine WAV of the given rate and channels.
QString makeOgg(const QString& dir, const QString& name, double seconds, int rate, int channels);

// Any container and codec ffmpeg writes, by encoder name, e.g. ("x.flac", "flac") or ("x.m4a",
// "aac").
QString makeEncoded(const QString& dir, const QString& name, double seconds, int rate, int channels,
                    const QString& codec);

// FLAC (16-bit) of a sine.
QString makeFlac(const QString& dir, const QString& name, double seconds, int rate, int channels);

// Headerless VOX: seconds x 4000 bytes of noise, which decode as Dialogic OKI
// ADPCM (two 4-bit samples per byte) to seconds x 8000 mono samples.
QString makeVox(const QString& dir, const QString& name, double seconds);

// Headerless 16-bit little-endian PCM of a sine at the given rate and channels.
QString makeRaw(const QString& dir, const QString& name, double seconds, int rate = 44100,
                int channels = 2);

// The file's audio decoded by ffmpeg to 16-bit little-endian PCM at its own rate and channels.
QByteArray decodeToPcm(const QString& path);

// Codec, rate, channels and duration of the first audio stream, from ffprobe.
ProbeResult probe(const QString& path);

}  // namespace fixtures
