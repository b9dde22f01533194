// Hostile tags through the list's title reader and the tag copy: nothing
// crashes or hangs, the source is never changed, and an output the copy
// calls whole still reads back as the audio it was.
//
// Input: <selector byte> <file bytes>; the selector picks the source's
// extension and the output's format.

#include "FuzzSupport.h"
#include "core/ConversionJob.h"
#include "core/OutputCheck.h"
#include "core/Tags.h"
#include "core/WaveFormat.h"

#include <QtEndian>

#include <array>
#include <atomic>

extern "C" {
#include <libavutil/log.h>
}

namespace {

constexpr const char* kSourceExtensions[] = {"mp3",  "flac", "m4a", "ogg",
                                             "opus", "wav",  "ape", "wv"};
constexpr int kSourceKinds = std::size(kSourceExtensions);
constexpr core::OutputFormat kOutputs[] = {core::OutputFormat::Mp3,    core::OutputFormat::Ogg,
                                           core::OutputFormat::Wav,    core::OutputFormat::Flac,
                                           core::OutputFormat::Aac,    core::OutputFormat::Alac,
                                           core::OutputFormat::WavPack};
constexpr double kSeconds = 0.5;

struct Template {
    QByteArray bytes;  // an untagged output of that format, as a job writes it
    core::ExpectedOutput expected;
};
std::array<Template, std::size(kOutputs)> templates;

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Half a second of a 16-bit 8000 Hz mono tone-ish ramp as a WAV.
QByteArray sourceWav() {
    const int frames = int(8000 * kSeconds);
    QByteArray wav(44 + frames * 2, '\0');
    auto* p = reinterpret_cast<uchar*>(wav.data());
    std::memcpy(p, "RIFF", 4);
    qToLittleEndian<quint32>(36 + frames * 2, p + 4);
    std::memcpy(p + 8, "WAVEfmt ", 8);
    qToLittleEndian<quint32>(16, p + 16);
    qToLittleEndian<quint16>(1, p + 20);
    qToLittleEndian<quint16>(1, p + 22);
    qToLittleEndian<quint32>(8000, p + 24);
    qToLittleEndian<quint32>(16000, p + 28);
    qToLittleEndian<quint16>(2, p + 32);
    qToLittleEndian<quint16>(16, p + 34);
    std::memcpy(p + 36, "data", 4);
    qToLittleEndian<quint32>(frames * 2, p + 40);
    for (int i = 0; i < frames; ++i)
        qToLittleEndian<qint16>(qint16((i * 997) % 20000 - 10000), p + 44 + 2 * i);
    return wav;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    av_log_set_level(AV_LOG_QUIET);
    qInstallMessageHandler(fuzz::quietMessages);
    const QByteArray wav = sourceWav();
    const QString source =
        fuzz::writeFile("template-source.wav", wav.constData(), size_t(wav.size()));
    QByteArray pcm;
    for (const core::WaveFormatInfo& f : core::waveFormats())
        if (f.formatName == QLatin1String("PCM") &&
            f.attributes == QLatin1String("8000 Hz, 16 bit, Mono"))
            pcm = f.waveFormatEx;
    for (size_t i = 0; i < std::size(kOutputs); ++i) {
        const QString out = fuzz::tempPath(QStringLiteral("template.%1").arg(i));
        core::JobSpec spec{source, kOutputs[i], {32, 8000, false}, true, {}, false};
        core::ConversionJob::Environment environment;
        environment.askWaveFormat = [pcm] { return core::WaveFormatAnswer{pcm, false}; };
        std::atomic<bool> stop{false};
        const core::JobResult result = core::ConversionJob(spec, out, environment).run(stop);
        if (result.outcome != core::JobOutcome::Converted) std::abort();  // lame, oggenc missing
        templates[i].bytes = readAll(out);
        const AVCodecID table = core::formatInfo(kOutputs[i]).codec;
        const AVCodecID codec = table == AV_CODEC_ID_NONE ? AV_CODEC_ID_PCM_S16LE : table;
        templates[i].expected = {codec, 8000, 1, kSeconds};
        if (!core::checkOutput(out, templates[i].expected)) std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    const QString source =
        fuzz::writeFile(QStringLiteral("source.") + kSourceExtensions[data[0] % kSourceKinds],
                        bytes.constData(), size_t(bytes.size()));
    (void)core::artistAndTitle(source);

    const size_t output = (data[0] / kSourceKinds) % std::size(kOutputs);
    const Template& t = templates[output];
    const QString out =
        fuzz::writeFile(QStringLiteral("output"), t.bytes.constData(), size_t(t.bytes.size()));
    const bool copied = core::copyTags(source, out, kOutputs[output]).ok();
    CHECK(readAll(source) == bytes);
    // A copy that damaged the output says so; one that claims success left it whole.
    CHECK(!copied || core::checkOutput(out, t.expected).ok());
    return 0;
}
