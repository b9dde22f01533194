#pragma once
// The audio engine: decode streams, playable streams, the WAV writer and the
// command-line encoder processes, behind small integer handles (0 = failure)
// so that callers keep the shape of the engine calls they were written for.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <memory>

namespace audio {

using Handle = quint32;

// One WAV format the writer can produce, as a WAVEFORMATEX block
// (little-endian, cbSize extra bytes included) plus readable texts.
struct WaveFormatInfo {
    QByteArray waveFormatEx;
    QString formatName;  // "PCM", "IMA ADPCM", "GSM 6.10" ...
    QString attributes;  // "44100 Hz, 16 bit, Stereo"
};

// A command-line encoder and the audio it expects on standard input.
struct CommandEncoder {
    QString program;  // path of the executable, resolved by the caller
    QStringList arguments;
    int sampleRate = 44100;  // audio is converted to this rate
    int channels = 0;        // 1 or 2; 0 keeps the source's channels folded to at most 2
    bool wavHeader = true;   // WAV header before the PCM (lame) or headerless PCM (oggenc)
};

// What became of an encoder once its stream was freed.
struct EncodeOutcome {
    bool ok = true;
    QString reason;  // the encoder's last error line or the writer's failure
};

class Engine {
public:
    Engine();
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Empty when the FFmpeg libraries loaded at run time are those built
    // against; otherwise the file name of the first one that differs.
    static QString versionMismatch();

    // Opens the default output device (44100 Hz). False: no usable device.
    bool init();
    // Frees every stream (finalising encoders) and closes the device.
    void free();

    // decodeOnly: a stream read by channelGetData; otherwise a playable one.
    Handle streamCreateFile(const QString& path, bool decodeOnly);
    bool channelPlay(Handle h);
    // Decodes up to length bytes of 16-bit PCM; feeds an attached encoder.
    // Returns the bytes delivered, -1 on error or at the end.
    qint64 channelGetData(Handle h, void* buffer, qint32 length);
    bool channelIsActive(Handle h);
    qint64 channelGetLength(Handle h);    // bytes, -1 on error or unknown
    qint64 channelGetPosition(Handle h);  // bytes decoded / played, -1 on error
    bool channelStop(Handle h);
    // Releases the stream and its encoder; outcome tells whether the
    // encoder (if any) finished its output.
    bool streamFree(Handle h, EncodeOutcome* outcome = nullptr);

    // Source format of a stream (16-bit PCM at this rate and channel count).
    bool channelGetInfo(Handle h, int* sampleRate, int* channels);

    static QList<WaveFormatInfo> waveFormats();
    static qint32 acmFormatSize();  // largest waveFormatEx among waveFormats()

    Handle encodeStartACMFile(Handle stream, const QByteArray& waveFormatEx, const QString& path);
    Handle encodeStart(Handle stream, const CommandEncoder& encoder);

    // Why the last failing call failed, for status tooltips.
    QString lastError() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace audio
