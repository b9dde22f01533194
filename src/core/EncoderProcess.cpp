#include "core/EncoderProcess.h"

#include <QCoreApplication>
#include <QtEndian>

#include <cstring>

namespace core {

namespace {
// Time an encoder gets to finish its file after the end of its input.
constexpr int kFinishTimeoutMs = 60000;
}  // namespace

QByteArray streamingWavHeader(int sampleRate, int channels, bool isFloat) {
    const int bytes = isFloat ? 4 : 2;
    QByteArray h(44, '\0');
    auto* p = reinterpret_cast<uchar*>(h.data());
    const quint32 dataSize = 0xFFFFFFFFu - 36;
    std::memcpy(p, "RIFF", 4);
    qToLittleEndian<quint32>(dataSize + 36, p + 4);
    std::memcpy(p + 8, "WAVEfmt ", 8);
    qToLittleEndian<quint32>(16, p + 16);
    qToLittleEndian<quint16>(isFloat ? 3 : 1, p + 20);  // WAVE_FORMAT_IEEE_FLOAT, _PCM
    qToLittleEndian<quint16>(quint16(channels), p + 22);
    qToLittleEndian<quint32>(quint32(sampleRate), p + 24);
    qToLittleEndian<quint32>(quint32(sampleRate * channels * bytes), p + 28);
    qToLittleEndian<quint16>(quint16(channels * bytes), p + 32);
    qToLittleEndian<quint16>(quint16(bytes * 8), p + 34);
    std::memcpy(p + 36, "data", 4);
    qToLittleEndian<quint32>(dataSize, p + 40);
    return h;
}

Result<std::unique_ptr<EncoderProcess>> EncoderProcess::create(const CommandEncoder& cfg,
                                                               const PcmFormat& source) {
    if (cfg.sampleRate < 0 || cfg.sampleRate > 384000 || cfg.channels < 0 || cfg.channels > 2)
        return Failure{
            QCoreApplication::translate("core", "The encoder can't take this audio format")};
    std::unique_ptr<EncoderProcess> e(new EncoderProcess);
    PcmFormat out;
    out.sampleRate = cfg.sampleRate > 0 ? cfg.sampleRate : source.sampleRate;
    out.channels = cfg.channels > 0 ? cfg.channels : std::min(source.channels, 2);
    const bool sixteenBitsHoldAll =
        source.bits <= 16 && keepsSamplesExact(source, out.sampleRate, out.channels);
    const bool isFloat = cfg.wavHeader && !sixteenBitsHoldAll;
    out.sampleFormat = isFloat ? AV_SAMPLE_FMT_FLT : AV_SAMPLE_FMT_S16;
    out.bits = isFloat ? 32 : 16;
    e->srcFrameBytes_ = source.frameBytes();
    e->outFrameBytes_ = out.frameBytes();
    if (Status s = e->conv_.init(source, out); !s) return Failure{s.reason()};
    if (Status s = e->child_.start(cfg.program, cfg.arguments, cfg.outputFd); !s)
        return Failure{s.reason()};
    if (cfg.wavHeader) {
        const QByteArray header = streamingWavHeader(out.sampleRate, out.channels, isFloat);
        e->broken_ = !e->child_.writeAll(header.constData(), header.size());
    }
    return e;
}

EncoderProcess::~EncoderProcess() {
    if (!finished_) (void)finish();
}

bool EncoderProcess::feed(int frames) {
    if (frames < 0) broken_ = true;
    if (frames > 0 && !broken_)
        broken_ = !child_.writeAll(reinterpret_cast<const char*>(conv_.planes()[0]),
                                   qint64(frames) * outFrameBytes_);
    return !broken_;
}

bool EncoderProcess::write(const uint8_t* pcm, qint64 bytes) {
    if (broken_ || finished_) return false;
    if (bytes <= 0) return true;
    return feed(conv_.convert(pcm, int(bytes / srcFrameBytes_)));
}

Status EncoderProcess::finish() {
    finished_ = true;
    if (!broken_) {
        for (int frames; !broken_ && (frames = conv_.convert(nullptr, 0)) > 0;) feed(frames);
    }
    const Status exit = child_.finish(kFinishTimeoutMs);
    if (!exit) return exit;
    // Exited cleanly but stopped reading its input: the file is short.
    if (broken_)
        return Failure{
            QCoreApplication::translate("core", "The encoder stopped reading its input")};
    return {};
}

}  // namespace core
