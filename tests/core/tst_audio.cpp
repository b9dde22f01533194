// From a file to audio and back to a file: the decoder on whole and damaged
// files made by ffmpeg, the percentage a running job shows, the encoder
// command lines, the WAV formats, one job at a time through lame, oggenc and
// the WAV writer, and encoder processes that misbehave. Outputs are checked
// with ffprobe.
#include "core/AudioFiles.h"
#include "core/ChildProcess.h"
#include "core/ConversionJob.h"
#include "core/Decoder.h"
#include "core/EncoderCommand.h"
#include "core/Progress.h"
#include "core/WaveFormat.h"
#include "support/AudioFixtures.h"
#include "support/BatchRecorder.h"

#include <QtTest>

#include <tuple>
#include <vector>

using core::EncoderSettings;
using core::JobOutcome;
using core::OutputFormat;
using fixtures::readFile;
using fixtures::waveFormat;

namespace {

// Reads the way a job does, 20000-byte blocks, until the end (or 100000 reads).
QByteArray drain(core::Decoder& d) {
    QByteArray pcm;
    std::vector<uint8_t> buf(20000);
    for (int calls = 0; !d.atEnd() && calls < 100000; ++calls)
        pcm.append(reinterpret_cast<const char*>(buf.data()), d.read(buf.data(), 20000));
    return pcm;
}

std::unique_ptr<core::Decoder> open(const QString& path) {
    auto opened = core::Decoder::open(path);
    if (!opened) qWarning().noquote() << path << opened.reason();
    return opened ? opened.take() : nullptr;
}

// Sets the checksum of the Ogg page from page to end.
void fixOggCrc(QByteArray& ogg, qsizetype page, qsizetype end) {
    qToLittleEndian<quint32>(0, ogg.data() + page + 22);
    quint32 crc = 0;  // CRC-32, polynomial 0x04c11db7, no reflection
    for (qsizetype i = page; i < end; ++i) {
        crc ^= quint32(quint8(ogg[i])) << 24;
        for (int b = 0; b < 8; ++b) crc = crc & 0x80000000u ? (crc << 1) ^ 0x04c11db7u : crc << 1;
    }
    qToLittleEndian<quint32>(crc, ogg.data() + page + 22);
}

int le16(const QByteArray& b, int at) {
    return qFromLittleEndian<quint16>(b.constData() + at);
}

// One job, run on this thread. wave: the answer to the WAV question.
core::JobResult convert(const QString& source, int format, const QString& output,
                        const EncoderSettings& encoder = {}, const QByteArray& wave = {}) {
    core::ConversionJob::Environment env;
    env.encoderFolder = "/nonexistent";
    env.askWaveFormat = [wave] { return core::WaveFormatAnswer{wave, false}; };
    const std::atomic<bool> stop{false};
    return core::ConversionJob({source, core::outputFormatFromIndex(format), encoder, true, {}},
                               output, env)
        .run(stop);
}

}  // namespace

class AudioTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString source_;  // 1.5 s, 44100 Hz stereo
    QString path(const QString& name) const { return dir_.filePath(name); }
    QString write(const QString& name, const QByteArray& bytes) {
        return fixtures::writeFile(path(name), bytes) ? path(name) : QString();
    }
    // Pages of 20 ms, as encoders write them (ffmpeg's default is one a second).
    QString ogg(const QString& name, double seconds, int rate) {
        return fixtures::make(dir_.path(), name, seconds, rate, 2,
                              {"-c:a", "libvorbis", "-page_duration", "20000"});
    }

private slots:
    void initTestCase() {
        source_ = fixtures::makeWav(dir_.path(), "source.wav", 1.5, 44100, 2);
        QVERIFY(!source_.isEmpty());
    }

    // Each listed extension, in capitals, opens with the rate and channels
    // ffmpeg made it with (48000 Hz stereo unless its options say otherwise)
    // and decodes to its length: known before the first read and exact for
    // the lossless kinds, within a few codec frames for the lossy ones ('~').
    // ffmpeg writes no APE, Musepack or AMR; VOX and raw PCM go by extension.
    void decodesEveryListedExtension() {
        // clang-format off
        const QMap<QString, QString> made{
            {"mp3", "~-c:a libmp3lame"}, {"mp2", "~-c:a mp2"}, {"mpeg", "~-c:a mp2 -f mp2"},
            {"mpa", "~-c:a mp2 -f mp2"}, {"mpg", "~-c:a mp2 -f mp2"}, {"mp1", "~-c:a mp2 -f mp2"},
            {"wav", ""}, {"wave", "-f wav"}, {"w64", ""}, {"ogg", "~-c:a libvorbis"}, {"oga", "-c:a flac -f ogg"},
            {"opus", "~-c:a libopus"}, {"spx", "~-c:a libspeex -ar 16000"}, {"flac", ""}, {"m4a", "~-c:a aac"},
            {"m4b", "~-c:a aac -f mp4"}, {"aac", "~"}, {"aiff", ""}, {"aif", "-f aiff"}, {"aifc", "-f aiff"},
            {"au", ""}, {"snd", "-f au"}, {"caf", ""}, {"wma", "~-c:a wmav2 -f asf"}, {"wv", ""}, {"tta", ""},
            {"mka", "~-c:a libvorbis"}, {"ac3", "~"}, {"dts", "~-c:a dca -strict -2"},
            {"gsm", "~-c:a libgsm -ar 8000 -ac 1 -f gsm"}, {"vox", "-ar 8000 -ac 1"}, {"raw", "-ar 44100"}, {"pcm", "-ar 44100"}};
        // clang-format on
        for (const QString& ext : core::audioExtensions()) {
            if (QStringList{"ape", "mpc", "amr"}.contains(ext)) continue;
            const QString name = "kind." + ext.toUpper();
            const QStringList args =
                QString(made.value(ext, "?")).remove('~').split(' ', Qt::SkipEmptyParts);
            const bool lossy = made.value(ext).startsWith('~');
            const auto option = [&](const char* o, int otherwise) {
                return args.contains(o) ? args[args.indexOf(o) + 1].toInt() : otherwise;
            };
            const int rate = option("-ar", 48000), channels = option("-ac", 2);
            const QString file = ext == "vox" ? fixtures::makeVox(dir_.path(), name, 0.5)
                                 : ext == "raw" || ext == "pcm"
                                     ? fixtures::makeRaw(dir_.path(), name, 0.5)
                                     : fixtures::make(dir_.path(), name, 0.5, rate, channels, args);
            const auto decoder = open(file);
            QVERIFY2(decoder, qPrintable(name));
            QCOMPARE(decoder->sampleRate(), rate);
            QCOMPARE(decoder->channels(), channels);
            const qint64 known = decoder->length(), bytes = drain(*decoder).size();
            const qint64 samples = bytes / decoder->frameBytes();
            QVERIFY2(qAbs(samples - rate / 2) <= (lossy ? 4096 : 0),
                     qPrintable(QString("%1: %2 samples").arg(name).arg(samples)));
            QVERIFY2(lossy || known == bytes, qPrintable(name));
            QCOMPARE(decoder->delivered(), bytes);
            QCOMPARE(decoder->length(), bytes);
        }
    }

    // What a running job shows: half to even, past 2 GiB, none for an
    // unknown or zero length.
    void progressPercent() {
        // clang-format off
        const std::tuple<qint64, qint64, int> rows[] = {
            {125, 1000, 12}, {1000, 1000, 100}, {qint64(3) << 31, qint64(1) << 33, 75}, {5, -1, -1}, {0, 0, -1}};
        // clang-format on
        for (const auto& [position, length, percent] : rows)
            QCOMPARE(core::progressPercent(position, length).value_or(-1), percent);
    }

    // Cut short or damaged, they end early with their length then known;
    // what is no audio at all does not open.
    void damagedFilesFailOrEndEarly() {
        const QByteArray wav = readFile(fixtures::makeWav(dir_.path(), "t.wav", 1.0, 44100, 2));
        QByteArray ogg = readFile(this->ogg("t.ogg", 3.0, 44100));  // audio past the headers
        const QString half = write("half.ogg", ogg.left(ogg.size() / 2));
        for (qsizetype i = ogg.size() / 3; i < ogg.size() / 3 + 2000; ++i) ogg[i] = char(i);
        // clang-format off
        const std::pair<QString, bool> rows[] = {
            {half, true}, {write("bad.ogg", ogg), true}, {write("half.wav", wav.left(wav.size() / 2)), true},
            {path("nothing-here.wav"), false}, {write("text.wav", "this is not audio at all\n"), false},
            {dir_.path(), false}, {write("Track01.cda", QByteArray(44, 'x')), false}};
        // clang-format on
        for (const auto& [file, mayOpen] : rows) {
            auto opened = core::Decoder::open(file);
            if (!opened) {
                QVERIFY(!opened.reason().isEmpty());
                continue;
            }
            QVERIFY2(mayOpen, qPrintable(file));
            const qint64 bytes = drain(**opened).size();
            QVERIFY((*opened)->atEnd());
            QCOMPARE((*opened)->delivered(), bytes);
            QCOMPARE((*opened)->length(), bytes);
        }
    }

    void lengthBeyondAnyByteCountIsUnknown() {
        // The last Ogg page claims 2^62 + 1000 samples: times four bytes a
        // frame that would wrap around to a tiny length.
        const QString file = ogg("huge.ogg", 0.3, 8000);
        QByteArray bytes = readFile(file);
        const qsizetype page = bytes.lastIndexOf("OggS");
        qToLittleEndian<qint64>((qint64(1) << 62) + 1000, bytes.data() + page + 6);
        fixOggCrc(bytes, page, bytes.size());
        QVERIFY(fixtures::writeFile(file, bytes));
        const auto d = open(file);
        QVERIFY(d);
        QCOMPARE(d->length(), qint64(-1));
        const qint64 delivered = drain(*d).size();
        QVERIFY(delivered > 0);
        QCOMPARE(d->length(), delivered);
    }

    void absurdRateMidStreamIsDroppedNotBlownUp() {
        // Two chained Ogg streams; the second's header claims 1 Hz. Converted
        // to 48 kHz its half second would be 24000 s of audio, 196 MB a frame.
        const QByteArray first = readFile(ogg("c1.ogg", 0.5, 48000));
        QByteArray second = readFile(ogg("c2.ogg", 0.5, 48000));
        QVERIFY(!first.isEmpty() && !second.isEmpty());
        // The first page holds the identification header and nothing else.
        const qsizetype firstPageEnd = 27 + quint8(second[26]) + quint8(second[27]);
        QCOMPARE(second.indexOf("OggS", 1), firstPageEnd);
        qToLittleEndian<quint32>(1, second.data() + second.indexOf("\x01vorbis") + 12);
        for (qsizetype p = 0; p >= 0;) {  // its own serial number, in every page
            const qsizetype next = second.indexOf("OggS", p + 1);
            qToLittleEndian<quint32>(0x5eed, second.data() + p + 14);
            fixOggCrc(second, p, next < 0 ? second.size() : next);
            p = next;
        }
        const auto d = open(write("chained.ogg", first + second));
        QVERIFY(d);
        std::vector<uint8_t> buf(1 << 20);
        qint64 total = 0;
        while (!d->atEnd() && total < (16 << 20)) total += d->read(buf.data(), 1 << 20);
        QVERIFY(d->atEnd());
        QVERIFY2(total >= 48000 && total <= 48000 * 4 * 2, qPrintable(QString::number(total)));
    }

    // Format, settings, the line as shown, the channels of the audio sent.
    // The arguments that really run are the line less the program and the
    // quotes, the output one argument.
    void commandLines() {
        const QString out = "/home/u/Out/it's \"x\".out";
        // clang-format off
        const std::tuple<int, EncoderSettings, QString, int> rows[] = {
            {1, {128, 44100, true}, "lame -h -ms -b128 -s44.1 --resample 44.1 - \"OUT\"", 2},
            {1, {64, 11025, false}, "lame -h -mm -b64 -s11.025 --resample 11.025 - \"OUT\"", 1},
            {2, {96, 22050, false}, "oggenc --raw-chan=1 --bitrate=96 - --raw-rate=22050 --output=\"OUT\"", 1},
            {2, {160, 44100, true}, "oggenc --bitrate=160 - --raw-rate=44100 --output=\"OUT\"", 2},
            {1, {128, 44100, true, false, {{"Mp3Mode", "vbr"}}, {}}, "lame -h -mj -V2 -s44.1 --resample 44.1 - \"OUT\"", 2},
            {1, {128, 32000, false, false, {{"Mp3Mode", "vbr"}}, {{"Mp3Quality", 0}}}, "lame -h -mm -V0 -s32 --resample 32 - \"OUT\"", 1},
            {1, {128, 48000, true, false, {{"Mp3Mode", "abr"}}, {{"Mp3AverageBitrate", 200}}}, "lame -h -mj --abr 200 -s48 --resample 48 - \"OUT\"", 2},
            {2, {128, 48000, false, false, {{"OggMode", "quality"}}, {{"OggQuality", -1}}}, "oggenc --raw-chan=1 --quality=-1 - --raw-rate=48000 --output=\"OUT\"", 1}};
        // clang-format on
        for (const auto& [format, settings, line, channels] : rows) {
            const auto command = core::buildEncoderCommand(*core::outputFormatFromIndex(format),
                                                           settings, "/opt/Son bridge", out);
            QCOMPARE(command.commandLine, "/opt/Son bridge/" + QString(line).replace("OUT", out));
            QStringList arguments = line.section(' ', 1).remove('"').split(' ');
            arguments.last().replace("OUT", out);
            QCOMPARE(command.encoder.arguments, arguments);
            QCOMPARE(command.encoder.sampleRate, settings.sampleRate);
            QCOMPARE(command.encoder.channels, channels);
            QCOMPARE(command.encoder.wavHeader, format == 1);  // oggenc's raw options: no header
        }
        // lame would read a relative name with a leading dash as options.
        QCOMPARE(core::buildEncoderCommand(OutputFormat::Mp3, {}, "/o", "-b8 -.mp3")
                     .encoder.arguments.last(),
                 "./-b8 -.mp3");
    }

    // Every block the list offers is whole and accepted (PCM also as the
    // older 16-byte block without its cbSize); each codec and width at its
    // first, middle and last entry makes a file of the codec, rate and
    // channels the entry says, and of the source's length.
    void wavOutputIsTheChosenFormat() {
        const QList<core::WaveFormatInfo>& formats = core::waveFormats();
        QMap<QString, QList<int>> byCodec;
        for (int i = 0; i < formats.size(); ++i) {
            const QByteArray& wfx = formats[i].waveFormatEx;
            QCOMPARE(wfx.size(), 18 + le16(wfx, 16));
            QVERIFY2(core::parseWaveFormat(wfx), qPrintable(formats[i].attributes));
            byCodec[formats[i].codec] << i;
        }
        QVERIFY(core::parseWaveFormat(waveFormat("PCM", "8000 Hz, 8 bit, Mono").left(16)));
        const QMap<int, QString> codecs{{1, "pcm_s"},     {2, "adpcm_ms"},  {3, "pcm_f32le"},
                                        {6, "pcm_alaw"},  {7, "pcm_mulaw"}, {0x11, "adpcm_ima_wav"},
                                        {0x31, "gsm_ms"}, {0x55, "mp3"}};
        for (const QList<int>& l : byCodec) {
            for (int i : QSet<int>{l.first(), l.at(l.size() / 2), l.last()}) {
                const core::WaveFormatInfo& f = formats[i];
                const QString name = f.formatName + ", " + f.attributes;
                const QString out = dir_.filePath(QString(name).replace('/', '_') + ".wav");
                const core::JobResult r = convert(source_, 0, out, {}, f.waveFormatEx);
                QVERIFY2(r.outcome == JobOutcome::Converted, qPrintable(name + r.reason));
                const fixtures::ProbeResult p = fixtures::probe(out);
                QString codec = codecs.value(f.formatTag);
                if (codec == "pcm_s")
                    codec =
                        f.bitsPerSample == 8 ? "pcm_u8" : QString("pcm_s%1le").arg(f.bitsPerSample);
                QVERIFY2(p.ok && p.codec == codec, qPrintable(name + p.codec));
                QCOMPARE(p.sampleRate, f.sampleRate);
                QCOMPARE(p.channels, f.channels);
                // MP3 adds its encoder delay and padding: up to two frames more.
                const double frame = codec == "mp3" ? (p.sampleRate >= 32000 ? 1152.0 : 576.0) : 0;
                QVERIFY2(qAbs(p.duration - 1.5) < 0.1 + 2 * frame / p.sampleRate, qPrintable(name));
            }
        }
    }

    // All zero, too short, an unknown tag, three channels, PCM whose block
    // alignment, byte rate or width is wrong, GSM at 16 kHz, MP3 at a bitrate
    // it has not, IMA blocks not a power of two, a cbSize past the end.
    void badWaveFormatsAreRefused() {
        const QByteArray pcm = waveFormat("PCM", "8000 Hz, 8 bit, Mono");
        const QByteArray ima = waveFormat("IMA ADPCM", "22050 Hz, 4 bit, Mono");
        const QByteArray mp3 = waveFormat("MPEG Layer-3", "44100 Hz, 128 kbit/s, Stereo");
        const QByteArray gsm = waveFormat("GSM 6.10", "8000 Hz, Mono");
        // The 16 bits at an offset (rates and byte rates here fit them).
        auto patched = [](QByteArray b, int at, quint16 v) {
            qToLittleEndian(v, b.data() + at);
            return b;
        };
        for (const QByteArray& wfx :
             {QByteArray(50, '\0'), pcm.left(10), patched(pcm, 0, 0x1234), patched(pcm, 2, 3),
              patched(pcm, 12, 3), patched(pcm, 8, 1234), patched(patched(pcm, 14, 12), 12, 1),
              patched(gsm, 4, 16000), patched(mp3, 8, 1234), patched(ima, 12, 300),
              patched(pcm, 16, 200)}) {
            const QString out = dir_.filePath("refused.wav");
            const core::JobResult r = convert(source_, 0, out, {}, wfx);
            QVERIFY2(r.outcome == JobOutcome::Failed && !r.reason.isEmpty(),
                     wfx.toHex().constData());
            QVERIFY(!QFile::exists(out));
        }
    }

    // Source rate and channels, format, settings or WAV block, then the
    // output's rate and channels and its note: "same as source" keeps what the
    // format can take (5.1 and 7.1 WAV with their speaker mask) and says what
    // it can't.
    void sameAsSourceKeepsWhatTheFormatTakes() {
        const auto following = [](const char* name, const char* attributes, bool rate, bool ch) {
            return core::sourceFollowingWaveFormat(waveFormat(name, attributes), rate, ch);
        };
        const QByteArray pcm24 = following("PCM", "44100 Hz, 24 bit, Stereo", true, true);
        const QByteArray mp3 =
            following("MPEG Layer-3", "44100 Hz, 128 kbit/s, Stereo", true, true);
        const QByteArray ima = following("IMA ADPCM", "22050 Hz, 4 bit, Mono", true, false);
        const EncoderSettings source{128, core::kSourceSampleRate, true, true};
        // clang-format off
        const std::tuple<int, int, int, EncoderSettings, QByteArray, int, int, QString> rows[] = {
            {96000, 6, 0, {}, pcm24, 96000, 6, ""},
            {32000, 8, 0, {}, pcm24, 32000, 8, ""},
            {96000, 6, 1, source, {}, 48000, 2, "Encoded as 48000 Hz stereo: MP3 can't take 96000 Hz, 6 channels"},
            {22050, 1, 1, source, {}, 22050, 1, ""},
            {96000, 2, 2, source, {}, 48000, 2, "Encoded as 48000 Hz: Ogg Vorbis can't take 96000 Hz"},
            {44100, 6, 2, {128, 22050, true, true}, {}, 22050, 2, "Encoded as stereo: Ogg Vorbis can't take 6 channels"},
            {88200, 6, 0, {}, mp3, 48000, 2, "Encoded as 48000 Hz stereo: MPEG Layer-3 can't take 88200 Hz, 6 channels"},
            {11025, 2, 0, {}, ima, 11025, 1, ""}};
        // clang-format on
        const QMap<int, quint32> masks{{6, 0x3f}, {8, 0x63f}};  // 5.1 and 7.1
        int row = 0;
        for (const auto& [rate, channels, format, settings, wave, outRate, outChannels, note] :
             rows) {
            const QString src = fixtures::makeWav(dir_.path(), QString("same-%1.wav").arg(++row),
                                                  0.5, rate, channels);
            const QString out = dir_.filePath(QString("same-%1.out").arg(row));
            const core::JobResult r = convert(src, format, out, settings, wave);
            QVERIFY2(r.outcome == JobOutcome::Converted, qPrintable(r.reason));
            QCOMPARE(r.note, note);
            const fixtures::ProbeResult p = fixtures::probe(out);
            QCOMPARE(p.sampleRate, outRate);
            QCOMPARE(p.channels, outChannels);
            if (!masks.contains(outChannels)) continue;
            const QByteArray bytes = readFile(out);
            const qsizetype fmt = bytes.indexOf("fmt ") + 8;
            QCOMPARE(le16(bytes, int(fmt)), 0xfffe);  // WAVE_FORMAT_EXTENSIBLE
            QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + fmt + 20), masks[outChannels]);
        }
    }

    // Sources of 1 and 10 samples at any rate, and a FLAC cut to a third of
    // its bytes (its header still says 3 s): each converts, the cut one
    // with a note that says how much there was.
    void shortAndCutSourcesConvert() {
        QString cut = fixtures::makeEncoded(dir_.path(), "cut.flac", 3, 44100, 2, "flac");
        const QByteArray whole = readFile(cut);
        QVERIFY(!whole.isEmpty() && fixtures::writeFile(cut, whole.left(whole.size() / 3)));
        QStringList sources{cut};
        for (int samples : {1, 10})
            sources << fixtures::make(dir_.path(), QString("s%1.wav").arg(samples), 1, 44100, 2,
                                      {"-af", QString("atrim=end_sample=%1").arg(samples)});
        const QByteArray pcm8k = waveFormat("PCM", "8000 Hz, 16 bit, Mono");
        int row = 0;
        for (const QString& source : sources) {
            for (const auto& [format, settings] : {std::pair{0, EncoderSettings{}},
                                                   {1, EncoderSettings{64, 8000, false}},
                                                   {2, EncoderSettings{128, 48000, true}}}) {
                const core::JobResult r =
                    convert(source, format, path(QString("short-%1").arg(++row)), settings, pcm8k);
                QVERIFY2(r.outcome == JobOutcome::Converted, qPrintable(source + r.reason));
                if (source == cut)
                    QVERIFY2(QRegularExpression(
                                 "The source ended early: [01]\\.[0-9] s of 3\\.0 s decoded")
                                 .match(r.note)
                                 .hasMatch(),
                             qPrintable(r.note));
                else
                    QVERIFY2(!r.note.contains("ended early"), qPrintable(r.note));
            }
        }
    }

    // Source, format, output (in the test folder), no encoders on the PATH,
    // a part of the reason. A folder can't be made where a file stands.
    void jobFailuresSayWhy() {
        // clang-format off
        const std::tuple<const char*, int, const char*, bool, const char*> rows[] = {
            {"gone.wav", 1, "a.mp3", false, "The file does not exist"},
            {"source.wav", -1, "a.", false, "No output format"},
            {"source.wav", 0, "source.wav/x.wav", false, "The output can't be created in"},
            {"source.wav", 1, "b.mp3", true, "The encoder lame was not found"},
            {"source.wav", 2, "b.ogg", true, "The encoder oggenc was not found"}};
        // clang-format on
        const QByteArray path = qgetenv("PATH");
        const auto restore = qScopeGuard([path] { qputenv("PATH", path); });
        for (const auto& [source, format, output, noEncoders, reason] : rows) {
            qputenv("PATH", noEncoders ? "/nonexistent" : path);
            const core::JobResult r =
                convert(dir_.filePath(source), format, dir_.filePath(output), {128, 44100, true},
                        waveFormat("PCM", "44100 Hz, 16 bit, Stereo"));
            QCOMPARE(r.outcome, JobOutcome::Failed);
            QVERIFY2(r.reason.contains(reason), qPrintable(r.reason));
            QCOMPARE(r.outputPath, dir_.filePath(output));
        }
    }

    // Any way an encoder process can fail ends in a failure with its reason:
    // oggenc refuses its options; a program exits at once (the write meets
    // a closed pipe: without SIGPIPE ignored this would end the test), or
    // with a status after progress and summary lines that say nothing of
    // why; megabytes of stderr before reading anything block
    // nothing and the last line is kept.
    void failingEncodersSayWhy() {
        // clang-format off
        const std::tuple<QString, QStringList, QString> rows[] = {
            {"oggenc", {"--raw-chan=1", "--bitrate=320", "-", "--raw-rate=8000", "--output=" + dir_.filePath("x.ogg")}, "bitrate"},
            {"true", {}, "stopped reading its input"},
            {"sh", {"-c", "cat >/dev/null; printf 'Encoding [ 0m02s so far] /\\r\\tRate: 77.2474\\n\\tAverage bitrate: 33.8 kb/s\\n' >&2; exit 3"}, "sh exited with status 3"},
            {"sh", {"-c", "head -c 3000000 /dev/zero | tr '\\0' x >&2; cat >/dev/null; echo disk on fire >&2; exit 3"}, "disk on fire"}};
        // clang-format on
        for (const auto& [program, arguments, reason] : rows) {
            auto decoder = core::Decoder::open(source_);
            QVERIFY(decoder);
            const bool raw = program == "oggenc";
            auto process =
                core::EncoderProcess::create({QStandardPaths::findExecutable(program), arguments,
                                              raw ? 8000 : 44100, raw ? 1 : 0, !raw},
                                             (*decoder)->format());
            QVERIFY2(process, qPrintable(process.reason()));
            std::vector<uint8_t> block(20000);
            while (!(*decoder)->atEnd()) {
                const qint64 n = (*decoder)->read(block.data(), qint64(block.size()));
                if (!(*process)->write(block.data(), n)) break;
            }
            const core::Status s = (*process)->finish();
            QVERIFY2(!s && s.reason().contains(reason), qPrintable(s.reason().right(200)));
        }
    }

    // A child that ignores the end of its input is ended once the time to
    // finish has passed: SIGTERM, and SIGKILL two seconds later for one
    // that ignores that too.
    void childProcesses() {
        for (const auto& [script, signal, atLeastMs] :
             {std::tuple{"sleep 30", 15, 0}, {"trap '' TERM; sleep 30", 9, 2000}}) {
            QElapsedTimer clock;
            clock.start();
            core::ChildProcess child;
            QVERIFY(child.start("sh", {"-c", script}));
            QCOMPARE(child.finish(300).reason(),
                     QString("The encoder sh was ended by signal %1").arg(signal));
            QVERIFY2(clock.elapsed() >= atLeastMs && clock.elapsed() < 5000,
                     qPrintable(QString::number(clock.elapsed())));
        }
    }
};

QTEST_GUILESS_MAIN(AudioTest)
#include "tst_audio.moc"
