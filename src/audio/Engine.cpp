#include "audio/Engine.h"

#include "audio/AudioDevice.h"
#include "audio/Decoder.h"
#include "audio/EncoderProcess.h"
#include "audio/PlayStream.h"
#include "audio/WavWriter.h"
#include "audio/WaveFormat.h"

#include <map>
#include <vector>

namespace audio {

namespace {

// A decode stream, or a playable one (then `play` is set and owns the decoder).
struct Stream {
    std::unique_ptr<Decoder> decoder;
    std::unique_ptr<PlayStream> play;
    std::vector<std::unique_ptr<Encoder>> encoders;
    bool stopped = false;

    bool active() const { return play ? play->isActive() : !stopped && !decoder->atEnd(); }
};

QString libraryMismatch(const char* name, unsigned runtime, unsigned built) {
    const unsigned major = AV_VERSION_MAJOR(runtime);
    // A newer minor version keeps the interface we were built against.
    if (major != AV_VERSION_MAJOR(built) || AV_VERSION_MINOR(runtime) < AV_VERSION_MINOR(built))
        return QStringLiteral("%1.so.%2").arg(QLatin1String(name)).arg(major);
    return {};
}

}  // namespace

struct Engine::Impl {
    std::unique_ptr<AudioDevice> device;
    // The device is declared first so that it outlives the streams playing on it.
    std::map<Handle, std::unique_ptr<Stream>> streams;
    std::map<Handle, Handle> encoderOwners;  // encoder handle -> stream handle
    Handle nextHandle = 1;
    QString lastError;

    Handle newHandle() {
        // A counter, so a freed handle is not handed out again soon.
        for (;;) {
            const Handle h = nextHandle++;
            if (h != 0 && !streams.count(h) && !encoderOwners.count(h)) return h;
        }
    }
    Stream* find(Handle h) {
        const auto it = streams.find(h);
        if (it == streams.end()) {
            lastError = QStringLiteral("invalid handle %1").arg(h);
            return nullptr;
        }
        return it->second.get();
    }
    Stream* findDecode(Handle h) {
        Stream* s = find(h);
        if (s && s->play) {
            lastError = QStringLiteral("not a decode stream");
            return nullptr;
        }
        return s;
    }
    Handle attach(Handle stream, std::unique_ptr<Encoder> enc) {
        Stream* s = streams.at(stream).get();
        s->encoders.push_back(std::move(enc));
        const Handle h = newHandle();
        encoderOwners[h] = stream;
        return h;
    }
    EncodeOutcome release(Handle h, std::unique_ptr<Stream> s) {
        EncodeOutcome outcome;
        for (auto& e : s->encoders) {
            const EncodeOutcome o = e->finish();
            if (!o.ok && outcome.ok) outcome = o;
        }
        for (auto it = encoderOwners.begin(); it != encoderOwners.end();)
            it = it->second == h ? encoderOwners.erase(it) : std::next(it);
        return outcome;
    }
};

Engine::Engine() : d(std::make_unique<Impl>()) {
    // Our own warnings name the failing call; FFmpeg's chatter about each
    // damaged frame is not wanted on the console.
    av_log_set_level(AV_LOG_ERROR);
}

Engine::~Engine() {
    free();
}

QString Engine::versionMismatch() {
    QString m = libraryMismatch("libavformat", avformat_version(), LIBAVFORMAT_VERSION_INT);
    if (m.isEmpty()) m = libraryMismatch("libavcodec", avcodec_version(), LIBAVCODEC_VERSION_INT);
    if (m.isEmpty())
        m = libraryMismatch("libswresample", swresample_version(), LIBSWRESAMPLE_VERSION_INT);
    if (m.isEmpty()) m = libraryMismatch("libavutil", avutil_version(), LIBAVUTIL_VERSION_INT);
    return m;
}

bool Engine::init() {
    if (d->device) return true;
    d->device = AudioDevice::open(&d->lastError);
    return d->device != nullptr;
}

void Engine::free() {
    while (!d->streams.empty()) {
        auto it = d->streams.begin();
        const Handle h = it->first;
        std::unique_ptr<Stream> s = std::move(it->second);
        d->streams.erase(it);
        d->release(h, std::move(s));
    }
    d->device.reset();
}

Handle Engine::streamCreateFile(const QString& path, bool decodeOnly) {
    if (!decodeOnly && !d->device) {
        d->lastError = QStringLiteral("the sound device is not open");
        return 0;
    }
    std::unique_ptr<Decoder> decoder = Decoder::open(path, &d->lastError);
    if (!decoder) return 0;
    auto s = std::make_unique<Stream>();
    if (decodeOnly) {
        s->decoder = std::move(decoder);
    } else {
        s->play = PlayStream::create(std::move(decoder), *d->device, &d->lastError);
        if (!s->play) return 0;
    }
    const Handle h = d->newHandle();
    d->streams[h] = std::move(s);
    return h;
}

bool Engine::channelPlay(Handle h) {
    Stream* s = d->find(h);
    if (!s) return false;
    if (!s->play) {
        d->lastError = QStringLiteral("a decode stream cannot be played");
        return false;
    }
    return s->play->play();
}

qint64 Engine::channelGetData(Handle h, void* buffer, qint32 length) {
    Stream* s = d->findDecode(h);
    if (!s) return -1;
    if (!buffer || length < 0) {
        d->lastError = QStringLiteral("invalid buffer");
        return -1;
    }
    if (s->stopped || s->decoder->atEnd()) {
        d->lastError = QStringLiteral("the stream has ended");
        return -1;
    }
    auto* out = static_cast<uint8_t*>(buffer);
    const qint64 got = s->decoder->read(out, length);
    for (auto& e : s->encoders) e->write(out, got);
    return got;
}

bool Engine::channelIsActive(Handle h) {
    Stream* s = d->find(h);
    return s && s->active();
}

qint64 Engine::channelGetLength(Handle h) {
    Stream* s = d->find(h);
    if (!s) return -1;
    return s->play ? s->play->length() : s->decoder->length();
}

qint64 Engine::channelGetPosition(Handle h) {
    Stream* s = d->find(h);
    if (!s) return -1;
    return s->play ? s->play->position() : s->decoder->delivered();
}

bool Engine::channelStop(Handle h) {
    Stream* s = d->find(h);
    if (!s) return false;
    if (s->play)
        s->play->stop();
    else
        s->stopped = true;
    return true;
}

bool Engine::streamFree(Handle h, EncodeOutcome* outcome) {
    const auto it = d->streams.find(h);
    if (it == d->streams.end()) {
        d->lastError = QStringLiteral("invalid handle %1").arg(h);
        return false;
    }
    std::unique_ptr<Stream> s = std::move(it->second);
    d->streams.erase(it);
    const EncodeOutcome o = d->release(h, std::move(s));
    if (!o.ok) d->lastError = o.reason;
    if (outcome) *outcome = o;
    return true;
}

bool Engine::channelGetInfo(Handle h, int* sampleRate, int* channels) {
    Stream* s = d->find(h);
    if (!s) return false;
    if (sampleRate) *sampleRate = s->play ? s->play->sampleRate() : s->decoder->sampleRate();
    if (channels) *channels = s->play ? s->play->channels() : s->decoder->channels();
    return true;
}

QList<WaveFormatInfo> Engine::waveFormats() {
    static const QList<WaveFormatInfo> formats = buildWaveFormats();
    return formats;
}

qint32 Engine::acmFormatSize() {
    qint32 largest = 0;
    for (const WaveFormatInfo& f : waveFormats())
        largest = std::max<qint32>(largest, f.waveFormatEx.size());
    return largest;
}

Handle Engine::encodeStartACMFile(Handle stream, const QByteArray& waveFormatEx,
                                  const QString& path) {
    Stream* s = d->findDecode(stream);
    if (!s) return 0;
    const std::optional<WavEncoding> enc = parseWaveFormat(waveFormatEx, &d->lastError);
    if (!enc) return 0;
    auto writer = WavWriter::create(*enc, path, s->decoder->sampleRate(), s->decoder->channels(),
                                    &d->lastError);
    if (!writer) return 0;
    return d->attach(stream, std::move(writer));
}

Handle Engine::encodeStart(Handle stream, const CommandEncoder& encoder) {
    Stream* s = d->findDecode(stream);
    if (!s) return 0;
    auto process = EncoderProcess::create(encoder, s->decoder->sampleRate(), s->decoder->channels(),
                                          &d->lastError);
    if (!process) return 0;
    return d->attach(stream, std::move(process));
}

QString Engine::lastError() const {
    return d->lastError;
}

}  // namespace audio
