// From decoded audio to a file: the encoder command lines, the WAV formats,
// one job at a time through lame, oggenc and the WAV writer, and encoder
// processes that misbehave. Outputs are checked with ffprobe.
#include "core/ChildProcess.h"
#include "core/ConversionJob.h"
#include "core/Decoder.h"
#include "core/EncoderCommand.h"
#include "core/WaveFormat.h"
#include "support/AudioFixtures.h"
#include "support/BatchRecorder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <vector>

using core::JobOutcome;
using core::OutputFormat;
using fixtures::waveFormat;

namespace {

quint16 le16(const QByteArray& b, int at) {
    return at + 2 <= b.size() ? qFromLittleEndian<quint16>(b.constData() + at) : 0;
}
quint32 le32(const QByteArray& b, int at) {
    return at + 4 <= b.size() ? qFromLittleEndian<quint32>(b.constData() + at) : 0;
}

// What ffprobe calls the codec a WAVEFORMATEX block asks for.
QString codecFor(const QByteArray& wfx) {
    const int bits = le16(wfx, 14);
    if (le16(wfx, 0) == 1) return bits == 8 ? "pcm_u8" : QString("pcm_s%1le").arg(bits);
    static const QMap<int, QString> codecs{
        {2, "adpcm_ms"},         {3, "pcm_f32le"}, {6, "pcm_alaw"}, {7, "pcm_mulaw"},
        {0x11, "adpcm_ima_wav"}, {0x31, "gsm_ms"}, {0x55, "mp3"}};
    return codecs.value(le16(wfx, 0));
}

// One job, run on this thread. wave: the answer to the WAV question.
core::JobResult convert(const QString& source, std::optional<OutputFormat> format,
                        const QString& output, const core::EncoderSettings& encoder = {},
                        std::optional<QByteArray> wave = std::nullopt) {
    core::JobSpec spec{source, format, encoder, true, {}};
    core::ConversionJob::Environment env;
    env.encoderFolder = "/nonexistent";
    env.askWaveFormat = [wave] { return core::WaveFormatAnswer{wave, false}; };
    const std::atomic<bool> stop{false};
    return core::ConversionJob(spec, output, env).run(stop);
}

// PATH for the life of the object.
class SearchPath {
public:
    explicit SearchPath(const QString& path) : saved_(qgetenv("PATH")) {
        qputenv("PATH", path.toUtf8());
    }
    ~SearchPath() { qputenv("PATH", saved_); }

private:
    QByteArray saved_;
};

}  // namespace

class EncodingTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString source_;   // 1.5 s, 44100 Hz stereo
    QString monoOgg_;  // 1.5 s, 48000 Hz mono
    static constexpr double kSeconds = 1.5;

private slots:
    void initTestCase() {
        source_ = fixtures::makeWav(dir_.path(), "source.wav", kSeconds, 44100, 2);
        monoOgg_ = fixtures::makeOgg(dir_.path(), "mono.ogg", kSeconds, 48000, 1);
        QVERIFY(!source_.isEmpty() && !monoOgg_.isEmpty());
    }

    // The text is shown as built; the arguments are what really runs.
    void commandLines_data() {
        // clang-format off
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("bitrate");
        QTest::addColumn<int>("rate");
        QTest::addColumn<bool>("stereo");
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("channels");  // of the audio sent
        QTest::newRow("mp3 stereo 44100")
            << 1 << 128 << 44100 << true
            << "/opt/Son bridge/lame -h -ms -b128 -s44.1 --resample 44.1 - \"OUT\"" << 2;
        QTest::newRow("mp3 mono 11025")
            << 1 << 64 << 11025 << false
            << "/opt/Son bridge/lame -h -mm -b64 -s11.025 --resample 11.025 - \"OUT\"" << 1;
        QTest::newRow("mp3 8000") << 1 << 8 << 8000 << true
                                  << "/opt/Son bridge/lame -h -ms -b8 -s8 --resample 8 - \"OUT\""
                                  << 2;
        QTest::newRow("ogg mono 22050") << 2 << 96 << 22050 << false
                                        << "/opt/Son bridge/oggenc --raw-chan=1 --bitrate=96 - "
                                           "--raw-rate=22050 --output=\"OUT\""
                                        << 1;
        QTest::newRow("ogg stereo 44100")
            << 2 << 160 << 44100 << true
            << "/opt/Son bridge/oggenc --bitrate=160 - --raw-rate=44100 --output=\"OUT\"" << 2;
        // clang-format on
    }
    void commandLines() {
        QFETCH(int, format);
        QFETCH(int, bitrate);
        QFETCH(int, rate);
        QFETCH(bool, stereo);
        QFETCH(QString, line);
        QFETCH(int, channels);
        const QString out = "/home/u/Out/it's \"x\".out";
        const auto command = core::buildEncoderCommand(
            *core::outputFormatFromIndex(format), {bitrate, rate, stereo}, "/opt/Son bridge", out);
        QCOMPARE(command.commandLine, QString(line).replace("OUT", out));
        // The line less the program and the quotes, the name one argument.
        QStringList arguments = line.section(' ', 2).remove('"').split(' ');
        arguments.last().replace("OUT", out);
        QCOMPARE(command.encoder.arguments, arguments);
        QCOMPARE(command.encoder.sampleRate, rate);
        QCOMPARE(command.encoder.channels, channels);
        QCOMPARE(command.encoder.wavHeader, format == 1);  // oggenc's raw options: no header
    }

    void programResolution() {
        const core::EncoderSettings settings{128, 44100, true};
        QVERIFY(core::buildEncoderCommand(OutputFormat::Wav, settings, "/opt", "/o")
                    .commandLine.isEmpty());
        QTemporaryDir folder;
        const QString local = folder.filePath("lame");
        QVERIFY(fixtures::writeFile(local, "#!/bin/sh\n"));
        auto program = [&](OutputFormat f) {
            return core::buildEncoderCommand(f, settings, folder.path(), "/o").encoder.program;
        };
        // Not executable: the one on the PATH.
        QCOMPARE(program(OutputFormat::Mp3), QStandardPaths::findExecutable("lame"));
        QVERIFY(QFile::setPermissions(local, QFile::permissions(local) | QFile::ExeOwner));
        QCOMPARE(program(OutputFormat::Mp3), local);
        // A folder of that name is no program.
        QVERIFY(QDir(folder.path()).mkdir("oggenc"));
        QCOMPARE(program(OutputFormat::Ogg), QStandardPaths::findExecutable("oggenc"));
        {
            SearchPath empty(folder.filePath("oggenc"));
            QVERIFY(program(OutputFormat::Ogg).isEmpty());
        }
        // lame would read a relative name with a leading dash as options.
        const auto dash = core::buildEncoderCommand(OutputFormat::Mp3, settings, "/o", "-b8 -.mp3");
        QVERIFY(dash.commandLine.endsWith(" - \"-b8 -.mp3\""));
        QCOMPARE(dash.encoder.arguments.last(), QString("./-b8 -.mp3"));
    }

    void formatListDescribesEveryWritableFormat() {
        QSet<QString> names;
        qint32 largest = 0;
        for (const core::WaveFormatInfo& f : core::waveFormats()) {
            names.insert(f.formatName);
            largest = qMax<qint32>(largest, f.waveFormatEx.size());
            QCOMPARE(f.waveFormatEx.size(), 18 + le16(f.waveFormatEx, 16));
            QVERIFY(core::parseWaveFormat(f.waveFormatEx));
        }
        QCOMPARE(core::largestWaveFormatSize(), largest);
        // PCM may come as the older 16-byte block, without its cbSize.
        QVERIFY(core::parseWaveFormat(waveFormat("PCM", "8000 Hz, 8 bit, Mono").left(16)));
        for (const char* n : {"PCM", "IEEE Float", "A-Law", "mu-Law", "IMA ADPCM",
                              "Microsoft ADPCM", "GSM 6.10", "MPEG Layer-3"})
            QVERIFY2(names.contains(n), n);
    }

    void wavOutputIsTheChosenFormat_data() {
        // clang-format off
        QTest::addColumn<QByteArray>("wfx");
        const QList<core::WaveFormatInfo>& formats = core::waveFormats();
        // Each codec and width at its first, middle and last entry.
        QMap<QString, QList<int>> byName;
        for (int i = 0; i < formats.size(); ++i)
            byName[formats[i].formatName + QString::number(le16(formats[i].waveFormatEx, 14))]
                << i;
        for (const QList<int>& l : byName) {
            for (int i : QSet<int>{l.first(), l.at(l.size() / 2), l.last()})
                QTest::addRow("%s, %s", qPrintable(formats[i].formatName),
                              qPrintable(formats[i].attributes))
                    << formats[i].waveFormatEx;
        }
        // clang-format on
    }

    void wavOutputIsTheChosenFormat() {
        QFETCH(QByteArray, wfx);
        const QString out =
            dir_.filePath(QString("out-%1.wav").arg(QTest::currentDataTag()).replace('/', '_'));
        const core::JobResult r = convert(source_, OutputFormat::Wav, out, {}, wfx);
        QVERIFY2(r.outcome == JobOutcome::Converted, qPrintable(r.reason));
        const fixtures::ProbeResult p = fixtures::probe(out);
        QVERIFY2(p.ok, qPrintable(p.error));
        QCOMPARE(p.codec, codecFor(wfx));
        QCOMPARE(p.sampleRate, int(le32(wfx, 4)));
        QCOMPARE(p.channels, int(le16(wfx, 2)));
        // MP3 adds its encoder delay and padding: up to two frames more.
        const double frame = p.codec == "mp3" ? (p.sampleRate >= 32000 ? 1152.0 : 576.0) : 0.0;
        QVERIFY2(qAbs(p.duration - kSeconds) < 0.1 + 2 * frame / p.sampleRate,
                 qPrintable(QString::number(p.duration)));
    }

    void badWaveFormatsAreRefused_data() {
        // clang-format off
        QTest::addColumn<QByteArray>("wfx");
        const QByteArray pcm = waveFormat("PCM", "8000 Hz, 8 bit, Mono");
        const QByteArray ima = waveFormat("IMA ADPCM", "22050 Hz, 4 bit, Mono");
        const QByteArray mp3 = waveFormat("MPEG Layer-3", "44100 Hz, 128 kbit/s, Stereo");
        const QByteArray gsm = waveFormat("GSM 6.10", "8000 Hz, Mono");
        auto patched = [](QByteArray b, int at, quint32 v, int size = 2) {
            if (size == 2) qToLittleEndian<quint16>(quint16(v), b.data() + at);
            else qToLittleEndian<quint32>(v, b.data() + at);
            return b;
        };
        QTest::newRow("all zero") << QByteArray(core::largestWaveFormatSize(), '\0');
        QTest::newRow("too short") << pcm.left(10);
        QTest::newRow("unknown tag") << patched(pcm, 0, 0x1234);
        QTest::newRow("three channels") << patched(pcm, 2, 3);
        QTest::newRow("pcm block align wrong") << patched(pcm, 12, 3);
        QTest::newRow("pcm byte rate wrong") << patched(pcm, 8, 1234, 4);
        QTest::newRow("pcm 12 bit") << patched(patched(pcm, 14, 12), 12, 1);
        QTest::newRow("gsm at 16 kHz") << patched(gsm, 4, 16000, 4);
        QTest::newRow("mp3 odd bitrate") << patched(mp3, 8, 1234, 4);
        QTest::newRow("ima block not a power of two") << patched(ima, 12, 300);
        QTest::newRow("cbSize past the end") << patched(pcm, 16, 200);
        // clang-format on
    }

    void badWaveFormatsAreRefused() {
        QFETCH(QByteArray, wfx);
        const QString out = dir_.filePath("refused.wav");
        const core::JobResult r = convert(source_, OutputFormat::Wav, out, {}, wfx);
        QCOMPARE(r.outcome, JobOutcome::Failed);
        QVERIFY(!r.reason.isEmpty());
        QVERIFY(!QFile::exists(out));
    }

    // The encoder gets audio that matches its options: the chosen rate and
    // channel mode, and the source's duration.
    void encodedOutputHasTheChosenAudio_data() {
        // clang-format off
        QTest::addColumn<bool>("monoSource");
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("rate");
        QTest::addColumn<bool>("stereo");
        QTest::addColumn<int>("kbps");
        QTest::addColumn<QString>("codec");
        QTest::addColumn<int>("channels");
        QTest::addColumn<QString>("note");  // the bitrate adjustment the row reports
        // lame alone would pick 24000 Hz at 64 kbps and 32000 Hz at 48000/96.
        QTest::newRow("mp3 44100 at 64") << false << 1 << 44100 << true << 64 << "mp3" << 2 << "";
        QTest::newRow("mp3 48000 at 96") << false << 1 << 48000 << true << 96 << "mp3" << 2 << "";
        QTest::newRow("mp3 8000 at 320") << false << 1 << 8000 << true << 320 << "mp3" << 2
            << "Encoded at 64 kbps: MP3 can't reach 320 kbps at 8000 Hz stereo";
        QTest::newRow("mp3 22050 mono") << false << 1 << 22050 << false << 64 << "mp3" << 1 << "";
        QTest::newRow("mp3 stereo of a mono source") << true << 1 << 44100 << true << 128 << "mp3"
                                                     << 2 << "";
        // oggenc alone refuses these.
        QTest::newRow("ogg 44100 at 32 stereo") << false << 2 << 44100 << true << 32 << "vorbis" << 2
            << "Encoded at 45 kbps: Ogg Vorbis can't reach 32 kbps at 44100 Hz stereo";
        QTest::newRow("ogg 44100 at 320 mono") << false << 2 << 44100 << false << 320 << "vorbis" << 1
            << "Encoded at 240 kbps";
        QTest::newRow("ogg 8000 at 320 stereo") << false << 2 << 8000 << true << 320 << "vorbis" << 2
            << "Encoded at 84 kbps";
        QTest::newRow("ogg 48000 stereo") << false << 2 << 48000 << true << 160 << "vorbis" << 2
                                          << "";
        QTest::newRow("ogg stereo of a mono source") << true << 2 << 44100 << true << 128
                                                     << "vorbis" << 2 << "";
        // clang-format on
    }

    void encodedOutputHasTheChosenAudio() {
        QFETCH(bool, monoSource);
        QFETCH(int, format);
        QFETCH(int, rate);
        QFETCH(bool, stereo);
        QFETCH(int, kbps);
        QFETCH(QString, codec);
        QFETCH(int, channels);
        QFETCH(QString, note);
        const QString out = dir_.filePath(QString("enc-%1").arg(QTest::currentDataTag()));
        const core::JobResult r =
            convert(monoSource ? monoOgg_ : source_, core::outputFormatFromIndex(format), out,
                    {kbps, rate, stereo});
        QVERIFY2(r.outcome == JobOutcome::Converted, qPrintable(r.reason));
        QCOMPARE(r.outputPath, out);
        QVERIFY2(note.isEmpty() ? r.note.isEmpty() : r.note.startsWith(note), qPrintable(r.note));
        const fixtures::ProbeResult p = fixtures::probe(out);
        QVERIFY2(p.ok, qPrintable(p.error));
        QCOMPARE(p.codec, codec);
        QCOMPARE(p.sampleRate, rate);
        QCOMPARE(p.channels, channels);
        // MP3 at 8000 Hz pads with up to two frames of 72 ms.
        QVERIFY2(qAbs(p.duration - kSeconds) < 0.2, qPrintable(QString::number(p.duration)));
    }

    void jobFailuresSayWhy_data() {
        // clang-format off
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("output");  // relative to the test folder, or absolute
        QTest::addColumn<bool>("noEncoders");
        QTest::addColumn<QString>("reason");  // a part of it
        const QString tone = "source.wav";
        QTest::newRow("missing source") << "gone.wav" << 1 << "a.mp3" << false << "no such file";
        QTest::newRow("no format") << tone << -1 << "a." << false << "No output format";
        QTest::newRow("wave format cancelled") << tone << 0 << "a.wav" << false
                                               << "No wave format was chosen";
        // A folder can't be made where a file stands.
        QTest::newRow("wav under a file") << tone << 0 << "source.wav/x.wav" << false << "x.wav";
        QTest::newRow("lame under a file") << tone << 1 << "source.wav/x.mp3" << false
                                           << "outfile";
        QTest::newRow("oggenc under a file") << tone << 2 << "source.wav/x.ogg" << false << "x.ogg";
        QTest::newRow("lame missing") << tone << 1 << "b.mp3" << true << "lame not found";
        QTest::newRow("oggenc missing") << tone << 2 << "b.ogg" << true << "oggenc not found";
        // clang-format on
    }

    void jobFailuresSayWhy() {
        QFETCH(QString, source);
        QFETCH(int, format);
        QFETCH(QString, output);
        QFETCH(bool, noEncoders);
        QFETCH(QString, reason);
        const QString out = output.startsWith('/') ? output : dir_.filePath(output);
        const bool cancel = QByteArray(QTest::currentDataTag()).contains("cancelled");
        const QByteArray pcm = waveFormat("PCM", "44100 Hz, 16 bit, Stereo");
        SearchPath path(noEncoders ? dir_.filePath("empty") : QString(qgetenv("PATH")));
        const core::JobResult r =
            convert(dir_.filePath(source), core::outputFormatFromIndex(format), out,
                    {128, 44100, true}, cancel ? std::nullopt : std::optional(pcm));
        QCOMPARE(r.outcome, JobOutcome::Failed);
        QVERIFY2(r.reason.contains(reason), qPrintable(r.reason));
        QCOMPARE(r.outputPath, out);
    }

    // Any way an encoder process can fail ends in a failure with its reason.
    void failingEncodersSayWhy_data() {
        // clang-format off
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("reason");  // how it ends
        QTest::newRow("oggenc refuses its options")
            << "oggenc"
            << QStringList{"--raw-chan=1", "--bitrate=320", "-", "--raw-rate=8000",
                           "--output=" + dir_.filePath("x.ogg")}
            << "bitrate";
        // The write meets a closed pipe: without SIGPIPE ignored this would end the test.
        QTest::newRow("exits at once without reading") << "true" << QStringList{}
                                                       << "stopped reading its input";
        QTest::newRow("killed") << "sh" << QStringList{"-c", "kill -9 $$"} << "signal 9";
        QTest::newRow("exit status") << "sh" << QStringList{"-c", "cat >/dev/null; exit 3"}
                                     << "sh exited with status 3";
        // Megabytes of stderr before reading anything: nothing blocks, the last line is kept.
        QTest::newRow("a flood of errors")
            << "sh"
            << QStringList{"-c",
                           "head -c 3000000 /dev/zero | tr '\\0' x >&2; cat >/dev/null; "
                           "echo disk on fire >&2; exit 3"}
            << "disk on fire";
        // clang-format on
    }

    void failingEncodersSayWhy() {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(QString, reason);
        auto decoder = core::Decoder::open(source_);
        QVERIFY(decoder);
        const bool raw = program == "oggenc";
        auto process =
            core::EncoderProcess::create({QStandardPaths::findExecutable(program), arguments,
                                          raw ? 8000 : 44100, raw ? 1 : 0, !raw},
                                         (*decoder)->sampleRate(), (*decoder)->channels());
        QVERIFY2(process, qPrintable(process.reason()));
        std::vector<uint8_t> block(20000);
        while (!(*decoder)->atEnd()) {
            const qint64 n = (*decoder)->read(block.data(), qint64(block.size()));
            if (!(*process)->write(block.data(), n)) break;
        }
        const core::Status s = (*process)->finish();
        QVERIFY(!s);
        QVERIFY2(s.reason().contains(reason), qPrintable(s.reason().right(200)));
    }

    void childProcesses_data() {
        // clang-format off
        QTest::addColumn<QString>("program");
        QTest::addColumn<qint64>("feed");    // bytes written before finishing
        QTest::addColumn<int>("stallMs");
        QTest::addColumn<int>("finishMs");
        QTest::addColumn<QString>("reason");  // empty: success
        QTest::addColumn<int>("withinMs");    // write and finish together
        QTest::newRow("reads and exits") << "cat" << qint64(4 << 20) << 15000 << 60000 << ""
                                         << 1000;
        QTest::newRow("stops reading") << "sleep" << qint64(1 << 20) << 300 << 60000
                                       << "sleep stopped reading its input" << 5000;
        QTest::newRow("ignores the end of its input") << "sleep" << qint64(0) << 15000 << 300
                                                      << "sleep was ended by signal 9" << 5000;
        QTest::newRow("not found") << "no-such-encoder" << qint64(0) << 0 << 0
                                   << "no-such-encoder not found" << 1000;
        // clang-format on
    }

    void childProcesses() {
        QFETCH(QString, program);
        QFETCH(qint64, feed);
        QFETCH(int, stallMs);
        QFETCH(int, finishMs);
        QFETCH(QString, reason);
        QFETCH(int, withinMs);
        QElapsedTimer clock;
        clock.start();
        core::ChildProcess child;
        const core::Status started =
            child.start(program, program == "sleep" ? QStringList{"30"} : QStringList{});
        if (!started) {
            QCOMPARE(started.reason(), reason);
            return;
        }
        child.setStallTimeout(stallMs);
        const QByteArray block(int(feed), 'x');
        QCOMPARE(child.writeAll(block.constData(), feed), reason.isEmpty() || feed == 0);
        const core::Status s = child.finish(finishMs);
        QCOMPARE(s.reason(), reason);
        QCOMPARE(s.ok(), reason.isEmpty());
        QVERIFY2(clock.elapsed() < withinMs, qPrintable(QString::number(clock.elapsed())));
    }
};

QTEST_GUILESS_MAIN(EncodingTest)
#include "tst_encoding.moc"
