// Every output format and mode through a real job: what ffprobe finds, the
// decoded length, the lossless formats sample for sample, the settings each
// mode is kept under, and the check that refuses a lossless file whose
// samples differ from those encoded.
#include "core/ConversionJob.h"
#include "core/OutputCheck.h"
#include "core/OutputFormats.h"
#include "core/SampleDigest.h"
#include "core/Settings.h"
#include "support/AudioFixtures.h"

#include <QtTest>

#include <tuple>

using core::OutputFormat;

namespace {

// What ffmpeg decodes the file to, as 32-bit samples (no resampling, no mixing).
QByteArray decoded(const QString& path) {
    QByteArray pcm;
    fixtures::run("ffmpeg", {"-v", "error", "-i", path, "-f", "s32le", "-"}, nullptr, &pcm);
    return pcm;
}

// An AVFrame of interleaved 16-bit samples.
core::SampleDigest digestOf(const QByteArray& s16, int channels) {
    AVFrame* frame = av_frame_alloc();
    frame->format = AV_SAMPLE_FMT_S16;
    av_channel_layout_default(&frame->ch_layout, channels);
    frame->nb_samples = int(s16.size() / (2 * channels));
    frame->extended_data = frame->data;
    frame->data[0] = reinterpret_cast<uint8_t*>(const_cast<char*>(s16.constData()));
    core::SampleDigest digest;
    digest.add(*frame);
    digest.finish();
    frame->data[0] = nullptr;
    av_frame_free(&frame);
    return digest;
}

}  // namespace

class FormatsTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString noise16_, noise24_, mono_;  // 2.5 s of white noise at 44100 Hz, stereo and mono

private slots:
    void initTestCase() {
        noise16_ = fixtures::makeWav(dir_.path(), "n16.wav", 2.5, 44100, 2, "pcm_s16le",
                                     fixtures::Signal::Noise);
        noise24_ = fixtures::makeWav(dir_.path(), "n24.wav", 2.5, 44100, 2, "pcm_s24le",
                                     fixtures::Signal::Noise);
        mono_ = fixtures::makeWav(dir_.path(), "mono.wav", 2.5, 44100, 1, "pcm_s16le",
                                  fixtures::Signal::Noise);
        QVERIFY(!noise16_.isEmpty() && !noise24_.isEmpty() && !mono_.isEmpty());
    }

    // Format, mode, its number, rate and channels asked, what ffprobe says,
    // the samples the decoded length may differ by (-1: the lossless
    // formats, which decode to the source's samples exactly), the note
    // (empty: none) and a mono source. A bitrate the encoder can't reach
    // becomes the nearest it can, and the note says so.
    void everyFormatAndMode() {
        struct Row {
            OutputFormat format;
            const char* modeId;
            int number, rate;
            bool stereo;
            QString audio;
            int slack;
            QString note = {};
            bool mono = false;
        };
        // clang-format off
        const Row rows[] = {
            {OutputFormat::Mp3, "cbr", 128, 44100, true, "mp3 44100 2", 2 * 1152 + 1105},
            {OutputFormat::Mp3, "vbr", 2, 32000, true, "mp3 32000 2", 2 * 1152 + 1105},
            {OutputFormat::Mp3, "abr", 96, 22050, false, "mp3 22050 1", 2 * 576 + 1105},
            {OutputFormat::Mp3, "cbr", 320, 8000, true, "mp3 8000 2", 2 * 576 + 1105, "Encoded at 64 kbps: MP3 can't reach 320 kbps at 8000 Hz stereo"},
            {OutputFormat::Mp3, "cbr", 128, 44100, true, "mp3 44100 2", 2 * 1152 + 1105, "", true},
            {OutputFormat::Ogg, "bitrate", 128, 44100, true, "vorbis 44100 2", 0},
            {OutputFormat::Ogg, "bitrate", 128, 44100, true, "vorbis 44100 2", 0, "", true},
            {OutputFormat::Ogg, "bitrate", 32, 44100, true, "vorbis 44100 2", 0, "Encoded at 45 kbps: Ogg Vorbis can't reach 32 kbps at 44100 Hz stereo"},
            {OutputFormat::Ogg, "bitrate", 320, 44100, false, "vorbis 44100 1", 0, "Encoded at 240 kbps"},
            {OutputFormat::Ogg, "quality", -1, 22050, false, "vorbis 22050 1", 0},
            {OutputFormat::Ogg, "quality", 10, 48000, true, "vorbis 48000 2", 0},
            {OutputFormat::Flac, "compression", 0, 44100, true, "flac 44100 2", -1},
            {OutputFormat::Flac, "compression", 8, 44100, true, "flac 44100 2", -1},
            {OutputFormat::Flac, "compression", 5, 22050, false, "flac 22050 1", 0},
            {OutputFormat::Opus, "bitrate", 128, 44100, true, "opus 48000 2", 960},
            {OutputFormat::Opus, "bitrate", 6, 8000, false, "opus 48000 1", 960},
            {OutputFormat::Aac, "bitrate", 192, 44100, true, "aac 44100 2", 1024},
            {OutputFormat::Aac, "bitrate", 32, 8000, false, "aac 8000 1", 1024},
            {OutputFormat::Alac, "", 0, 44100, true, "alac 44100 2", -1},
            {OutputFormat::WavPack, "", 0, 44100, true, "wavpack 44100 2", -1}};
        // clang-format on
        int row = 0;
        for (const auto& [format, modeId, number, rate, stereo, audio, slack, note, mono] : rows) {
            const core::FormatInfo& info = core::formatInfo(format);
            core::EncoderSettings settings{160, rate, stereo};
            if (const core::EncoderMode* mode = core::findMode(info, QLatin1String(modeId))) {
                core::chooseMode(info, *mode, settings);
                core::setModeNumber(*mode, number, settings);
            }
            // The lossless rows run once per source depth.
            for (const QString& source : {mono ? mono_ : noise16_, noise24_}) {
                if (slack >= 0 && source == noise24_) continue;
                const QString out =
                    dir_.filePath(QString("f%1.%2").arg(++row).arg(core::outputExtension(format)));
                const std::atomic<bool> stop{false};
                const core::JobResult r =
                    core::ConversionJob({source, format, settings, true, {}}, out, {}).run(stop);
                const QString what =
                    QString("%1 %2 %3 %4").arg(info.id, modeId).arg(number).arg(source);
                QVERIFY2(r.outcome == core::JobOutcome::Converted, qPrintable(what + r.reason));
                QVERIFY2(note.isEmpty() ? r.note.isEmpty() : r.note.startsWith(note),
                         qPrintable(r.note));
                const fixtures::ProbeResult p = fixtures::probe(out);
                QCOMPARE(QString("%1 %2 %3").arg(p.codec).arg(p.sampleRate).arg(p.channels), audio);
                const QByteArray pcm = decoded(out);
                const qint64 frames = pcm.size() / (4 * p.channels);
                if (slack < 0)
                    QVERIFY2(pcm == decoded(source), qPrintable(what));
                else if (slack > 0)  // the lossy codecs: within a frame of the source's length
                    QVERIFY2(qAbs(frames - qRound64(2.5 * p.sampleRate)) <= slack,
                             qPrintable(QString("%1: %2 frames").arg(what).arg(frames)));
                else
                    QCOMPARE(frames, qRound64(2.5 * p.sampleRate));
            }
        }
    }

    // One changed sample, one missing, one more channel: the check names
    // where the file stops being what was encoded.
    void losslessCheckFindsOneWrongSample() {
        QByteArray s16(44100 * 2 * 2 * 3, '\0');  // 3 s of stereo
        for (qsizetype i = 0; i < s16.size(); i += 2)
            qToLittleEndian<qint16>(qint16((i * 7919) % 65536 - 32768), s16.data() + i);
        const core::SampleDigest fed = digestOf(s16, 2);
        // clang-format off
        const std::tuple<qsizetype, qsizetype, int, QString> rows[] = {
            {-1, 0, 2, ""},
            {2 * 44100 * 4 + 2, 0, 2, "its samples differ from 1.49 s on"},
            {s16.size() - 2, 0, 2, "its samples differ from 2.97 s on"},
            {-1, 4, 2, "it decodes to 132299 samples per channel, 132300 were encoded"},
            {-1, 0, 1, "it decodes to 1 channels, 2 were encoded"}};
        // clang-format on
        int row = 0;
        for (const auto& [changed, shorter, channels, difference] : rows) {
            QByteArray pcm = s16.chopped(shorter);
            if (changed >= 0) pcm[changed] = char(pcm[changed] ^ 1);
            const QString raw = dir_.filePath("pcm.raw");
            const QString flac = dir_.filePath(QString("check%1.flac").arg(++row));
            QVERIFY(fixtures::writeFile(raw, pcm));
            QVERIFY(
                fixtures::run("ffmpeg", {"-v", "error", "-y", "-f", "s16le", "-ar", "44100", "-ac",
                                         "2", "-i", raw, "-ac", QString::number(channels), flac}));
            const core::Status s = core::checkOutput(flac, {AV_CODEC_ID_FLAC, 0, 0, 3.0}, &fed);
            QCOMPARE(s.reason(), difference.isEmpty()
                                     ? QString()
                                     : "The output is not lossless: " + difference);
        }
    }

    // Each mode's number is kept under its own key, as is the mode chosen;
    // the seed's bitrate stays key "3"; a number out of range is not taken.
    void modesAreSavedUnderTheirOwnKeys() {
        const QString path = dir_.filePath("settings.ini");
        QVERIFY(fixtures::writeFile(path, "[Main]\n3=96\nOggQuality=11\nAacBitrate=31\n"));
        core::Settings s;
        core::loadSettings(s, path);
        const auto number = [&](OutputFormat f, const char* mode) {
            return core::modeNumber(*core::findMode(core::formatInfo(f), QLatin1String(mode)),
                                    s.encoder);
        };
        QCOMPARE(number(OutputFormat::Ogg, "quality"), 5);    // 11 is out of range
        QCOMPARE(number(OutputFormat::Aac, "bitrate"), 192);  // so is 31
        QCOMPARE(number(OutputFormat::Mp3, "cbr"), 96);
        QCOMPARE(core::chosenMode(core::formatInfo(OutputFormat::Mp3), s.encoder)->id, "cbr");
        for (const core::FormatInfo& f : core::outputFormats())
            for (const core::EncoderMode& m : f.modes) {
                core::chooseMode(f, m, s.encoder);
                core::setModeNumber(m, m.minimum, s.encoder);
            }
        core::saveSettings(s, path);
        core::Settings back;
        core::loadSettings(back, path);
        for (const core::FormatInfo& f : core::outputFormats()) {
            QCOMPARE(core::chosenMode(f, back.encoder), core::chosenMode(f, s.encoder));
            for (const core::EncoderMode& m : f.modes)
                QCOMPARE(core::modeNumber(m, back.encoder), m.minimum);
        }
    }
};

QTEST_GUILESS_MAIN(FormatsTest)
#include "tst_formats.moc"
