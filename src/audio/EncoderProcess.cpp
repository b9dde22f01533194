#include "audio/EncoderProcess.h"

#include <QtEndian>

#include <cstring>

namespace audio {

namespace {
// Time an encoder gets to finish its file after the end of its input.
constexpr int kFinishTimeoutMs = 60000;
}  // namespace

QByteArray streamingWavHeader(int sampleRate, int channels) {
    QByteArray h(44, '\0');
    auto* p = reinterpret_cast<uchar*>(h.data());
    const quint32 dataSize = 0xFFFFFFFFu - 36;
    std::memcpy(p, "RIFF", 4);
    qToLittleEndian<quint32>(dataSize + 36, p + 4);
    std::memcpy(p + 8, "WAVEfmt ", 8);
    qToLittleEndian<quint32>(16, p + 16);
    qToLittleEndian<quint16>(1, p + 20);
    qToLittleEndian<quint16>(quint16(channels), p + 22);
    qToLittleEndian<quint32>(quint32(sampleRate), p + 24);
    qToLittleEndian<quint32>(quint32(sampleRate * channels * 2), p + 28);
    qToLittleEndian<quint16>(quint16(channels * 2), p + 32);
    qToLittleEndian<quint16>(16, p + 34);
    std::memcpy(p + 36, "data", 4);
    qToLittleEndian<quint32>(dataSize, p + 40);
    return h;
}

std::unique_ptr<EncoderProcess> EncoderProcess::create(const CommandEncoder& cfg, int srcRate,
                                                       int srcChannels, QString* error) {
    if (cfg.sampleRate < 0 || cfg.sampleRate > 384000 || cfg.channels < 0 || cfg.channels > 2) {
        if (error) *error = QStringLiteral("unsupported encoder audio format");
        return {};
    }
    std::unique_ptr<EncoderProcess> e(new EncoderProcess);
    const int outRate = cfg.sampleRate > 0 ? cfg.sampleRate : srcRate;
    const int outChannels = cfg.channels > 0 ? cfg.channels : std::min(srcChannels, 2);
    e->srcFrameBytes_ = srcChannels * 2;
    e->outFrameBytes_ = outChannels * 2;
    if (!e->conv_.init(srcRate, srcChannels, AV_SAMPLE_FMT_S16, outRate, outChannels, error))
        return {};
    if (!e->child_.start(cfg.program, cfg.arguments, error)) return {};
    if (cfg.wavHeader) {
        const QByteArray header = streamingWavHeader(outRate, outChannels);
        e->broken_ = !e->child_.writeAll(header.constData(), header.size());
    }
    return e;
}

EncoderProcess::~EncoderProcess() {
    if (!finished_) finish();
}

void EncoderProcess::feed(int frames) {
    if (frames < 0) {
        broken_ = true;
        return;
    }
    if (frames > 0 && !broken_)
        broken_ = !child_.writeAll(reinterpret_cast<const char*>(conv_.planes()[0]),
                                   qint64(frames) * outFrameBytes_);
}

void EncoderProcess::write(const uint8_t* pcm, qint64 bytes) {
    if (broken_ || finished_ || bytes <= 0) return;
    feed(conv_.convert(pcm, int(bytes / srcFrameBytes_)));
}

EncodeOutcome EncoderProcess::finish() {
    finished_ = true;
    if (!broken_) {
        for (int frames; !broken_ && (frames = conv_.convert(nullptr, 0)) > 0;) feed(frames);
    }
    EncodeOutcome out;
    QString reason;
    out.ok = child_.finish(kFinishTimeoutMs, &reason);
    if (!out.ok) {
        out.reason = reason;
    } else if (broken_) {
        // Exited cleanly but stopped reading its input: the file is short.
        out.ok = false;
        out.reason = QStringLiteral("the encoder stopped reading its input");
    }
    return out;
}

}  // namespace audio
