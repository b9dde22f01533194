// What happens to the samples on their way through a job, measured on the
// decoded output: lossless sources kept bit for bit, dither instead of
// truncation, the resampler's aliases, downmixes that never pass full scale
// or flip a sign, mono copied at unity. Sources come from ffmpeg's lavfi.
#include "core/ConversionJob.h"
#include "core/WaveFormat.h"
#include "support/AudioFixtures.h"
#include "support/BatchRecorder.h"

#include <QtTest>

#include <cmath>
#include <complex>
#include <tuple>
#include <vector>

using core::JobOutcome;
using fixtures::waveFormat;

namespace {

using fixtures::makeFrom;

// Every sample of a file as ffmpeg decodes it, interleaved, in doubles
// (which hold 32-bit integers and floats exactly).
std::vector<double> samples(const QString& path) {
    QByteArray raw;
    if (!fixtures::run("ffmpeg", {"-v", "error", "-i", path, "-f", "f64le", "-"}, nullptr, &raw))
        return {};
    std::vector<double> out(size_t(raw.size()) / sizeof(double));
    std::memcpy(out.data(), raw.constData(), out.size() * sizeof(double));
    return out;
}

// The amplitude (dBFS) of a frequency in a mono signal, Hann-windowed over the middle half.
double amplitudeDb(const std::vector<double>& pcm, int rate, double hz) {
    const size_t first = pcm.size() / 4, n = pcm.size() / 2;
    std::complex<double> sum;
    for (size_t i = 0; i < n; ++i) {
        const double window = 0.5 - 0.5 * std::cos(2 * M_PI * double(i) / double(n));
        sum += pcm[first + i] * window * std::polar(1.0, -2 * M_PI * hz * double(first + i) / rate);
    }
    return 20 * std::log10(std::abs(sum) * 4 / double(n));  // window gain 1/2, one side
}

// A block that keeps the source's rate and channels.
QByteArray keepingSource(const char* name, const char* attributes) {
    return core::sourceFollowingWaveFormat(waveFormat(name, attributes), true, true);
}

core::JobResult toWav(const QString& source, const QString& output, const QByteArray& wave) {
    core::ConversionJob::Environment env;
    env.askWaveFormat = [wave] { return core::WaveFormatAnswer{wave, false}; };
    const std::atomic<bool> stop{false};
    return core::ConversionJob({source, core::OutputFormat::Wav, {}, true, {}, false}, output, env)
        .run(stop);
}

}  // namespace

class SignalTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    QString convert(const QString& source, const QString& name, const QByteArray& wave) {
        const QString out = dir_.filePath(name);
        const core::JobResult r = toWav(source, out, wave);
        if (r.outcome != JobOutcome::Converted) qWarning().noquote() << r.reason;
        return r.outcome == JobOutcome::Converted ? out : QString();
    }

private slots:
    // Source codec and sample format, the WAV it becomes at its own rate,
    // channels and depth: every sample the same.
    void losslessSourcesStayExact() {
        // clang-format off
        const std::tuple<QString, int, int, QStringList, QByteArray> rows[] = {
            {"flac24.flac", 96000, 6, {"-c:a", "flac", "-sample_fmt", "s32"}, keepingSource("PCM", "44100 Hz, 24 bit, Stereo")},
            {"float.wav", 44100, 2, {"-c:a", "pcm_f32le"}, keepingSource("IEEE Float", "44100 Hz, 32 bit, Stereo")},
            {"pcm16.wav", 48000, 1, {"-c:a", "pcm_s16le"}, keepingSource("PCM", "44100 Hz, 16 bit, Stereo")},
            {"pcm16-16k.wav", 16000, 2, {"-c:a", "pcm_s16le"}, waveFormat("PCM", "16000 Hz, 16 bit, Stereo")}};
        // clang-format on
        for (const auto& [name, rate, channels, args, wave] : rows) {
            QStringList noise;  // different in every channel
            for (int c = 0; c < channels; ++c) noise << QString("0.9*(2*random(%1)-1)").arg(c);
            const QString source =
                makeFrom(dir_.path(), name,
                         QString("aevalsrc=%1:s=%2:d=0.5").arg(noise.join('|')).arg(rate), args);
            const QString out = convert(source, name + ".wav", wave);
            QVERIFY2(!out.isEmpty(), qPrintable(name));
            const std::vector<double> in = samples(source);
            QCOMPARE(in.size(), size_t(rate / 2 * channels));
            QVERIFY2(samples(out) == in, qPrintable(name));
        }
    }

    // A tone's amplitude, source rate and codec, the output (mono), then the
    // frequency measured there and the range its level must fall in (dBFS).
    // At -100 dBFS in 24 bits written at 16 it stays, dithered (truncated
    // it comes out 6 dB louder, or vanishes). Above the new Nyquist frequency
    // nothing is left where it would fold back to; at 90% of it the level
    // stays within 0.1 dB.
    void toneLevels() {
        // clang-format off
        const std::tuple<double, double, int, QString, QString, int, double, double, double> rows[] = {
            {1e-5, 1000, 44100, "pcm_s24le", "PCM", 44100, 1000, -101, -99},
            {0.5, 22300, 48000, "pcm_f32le", "IEEE Float", 44100, 21800, -400, -106},
            {0.5, 11200, 44100, "pcm_f32le", "IEEE Float", 22050, 10850, -400, -106},
            {0.5, 4100, 44100, "pcm_f32le", "IEEE Float", 8000, 3900, -400, -106},
            {0.5, 19845, 48000, "pcm_f32le", "IEEE Float", 44100, 19845, -6.12, -5.92}};
        // clang-format on
        for (const auto& [amplitude, hz, from, codec, format, to, heard, low, high] : rows) {
            const QString name = QString("tone-%1-%2").arg(from).arg(hz);
            const QString source = makeFrom(
                dir_.path(), name + ".wav",
                QString("aevalsrc=%1*sin(2*PI*%2*t):s=%3:d=1.5").arg(amplitude).arg(hz).arg(from),
                {"-c:a", codec});
            const QString bits = format == "PCM" ? "16 bit" : "32 bit";
            const QString out =
                convert(source, name + "-out.wav",
                        waveFormat(format, QString("%1 Hz, %2, Mono").arg(to).arg(bits)));
            QVERIFY(!out.isEmpty());
            const double level = amplitudeDb(samples(out), to, heard);
            QVERIFY2(level > low && level < high,
                     qPrintable(QString("%1: %2 dB").arg(name).arg(level)));
        }
    }

    // A full-scale square wave, the same in every channel of the layout, to
    // fewer channels: never past full scale, never a sign flipped, and at
    // most 6 dB down. Mono becomes stereo at unity, sample for sample.
    void mixingKeepsFullScaleAndPolarity() {
        // clang-format off
        const std::tuple<QString, int, QByteArray> rows[] = {
            {"7.1", 8, waveFormat("PCM", "44100 Hz, 16 bit, Mono")},
            {"7.1", 8, waveFormat("IEEE Float", "44100 Hz, 32 bit, Stereo")},
            {"5.1", 6, waveFormat("IEEE Float", "44100 Hz, 32 bit, Stereo")},
            {"5.1", 6, waveFormat("PCM", "44100 Hz, 24 bit, Mono")},
            {"stereo", 2, waveFormat("IEEE Float", "44100 Hz, 32 bit, Mono")},
            {"mono", 1, waveFormat("PCM", "44100 Hz, 16 bit, Stereo")}};
        // clang-format on
        int row = 0;
        for (const auto& [layout, channels, wave] : rows) {
            const QString square = "if(lt(mod(t*441\\,1)\\,0.5)\\,1\\,-1)";
            QStringList expressions;
            for (int c = 0; c < channels; ++c) expressions << square;
            const QString source = makeFrom(
                dir_.path(), QString("square-%1.wav").arg(++row),
                QString("aevalsrc=%1:c=%2:s=44100:d=0.5").arg(expressions.join('|'), layout),
                {"-c:a", "pcm_s16le"});
            const QString out = convert(source, QString("square-%1-out.wav").arg(row), wave);
            QVERIFY(!out.isEmpty());
            const std::vector<double> in = samples(source), pcm = samples(out);
            const int outChannels = qFromLittleEndian<quint16>(wave.constData() + 2);
            QCOMPARE(pcm.size() / size_t(outChannels), in.size() / size_t(channels));
            double peak = 0;
            for (size_t i = 0; i < pcm.size(); ++i) {
                const double source = in[i / size_t(outChannels) * size_t(channels)];
                if (channels == 1) QCOMPARE(pcm[i], source);
                QVERIFY2(pcm[i] * source > 0,
                         qPrintable(QString("row %1, sample %2").arg(row).arg(i)));
                peak = std::max(peak, std::abs(pcm[i]));
            }
            QVERIFY2(peak <= 1.0 && peak >= 0.5, qPrintable(QString::number(peak)));
        }
    }
};

QTEST_GUILESS_MAIN(SignalTest)
#include "tst_signal.moc"
