// The WAV writer and the command-line encoders, checked with ffprobe on the
// files they produce.
#include "audio/Engine.h"
#include "support/AudioFixtures.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <vector>

using audio::CommandEncoder;
using audio::EncodeOutcome;
using audio::Engine;
using audio::Handle;
using audio::WaveFormatInfo;

namespace {

void pump(Engine& e, Handle h) {
    std::vector<char> buf(20001);
    for (int i = 0; e.channelIsActive(h) && i < 100000; ++i) e.channelGetData(h, buf.data(), 20000);
}

// Little-endian fields of a byte block; 0 past its end.
quint16 le16(const QByteArray& b, int at) {
    if (at < 0 || at + 2 > b.size()) return 0;
    return quint16(uchar(b[at]) | uchar(b[at + 1]) << 8);
}
quint32 le32(const QByteArray& b, int at) {
    return le16(b, at) | quint32(le16(b, at + 2)) << 16;
}

QString codecFor(const WaveFormatInfo& f) {
    const int tag = le16(f.waveFormatEx, 0);
    const int bits = le16(f.waveFormatEx, 14);
    switch (tag) {
        case 1:
            return bits == 8 ? "pcm_u8" : QStringLiteral("pcm_s%1le").arg(bits);
        case 3:
            return "pcm_f32le";
        case 6:
            return "pcm_alaw";
        case 7:
            return "pcm_mulaw";
        case 0x11:
            return "adpcm_ima_wav";
        case 2:
            return "adpcm_ms";
        case 0x31:
            return "gsm_ms";
        case 0x55:
            return "mp3";
    }
    return {};
}

}  // namespace

class TestEngineEncode : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString source_;  // 1.5 s, 44100 Hz stereo
    const double sourceSeconds_ = 1.5;

    EncodeOutcome runCommand(const CommandEncoder& enc, const QString& src = {}) {
        Engine e;
        const Handle h = e.streamCreateFile(src.isEmpty() ? source_ : src, true);
        if (!h) return {false, "no stream"};
        const Handle enc1 = e.encodeStart(h, enc);
        if (!enc1) return {false, "start: " + e.lastError()};
        pump(e, h);
        EncodeOutcome out;
        e.streamFree(h, &out);
        return out;
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        source_ = fixtures::makeWav(dir_.path(), "source.wav", sourceSeconds_, 44100, 2);
        QVERIFY(!source_.isEmpty());
    }

    void formatListDescribesEveryWritableFormat() {
        const QList<WaveFormatInfo> formats = Engine::waveFormats();
        QSet<QString> names;
        qint32 largest = 0;
        for (const WaveFormatInfo& f : formats) {
            names.insert(f.formatName);
            largest = qMax<qint32>(largest, f.waveFormatEx.size());
            QVERIFY(f.waveFormatEx.size() >= 18);
            QCOMPARE(f.waveFormatEx.size(), 18 + le16(f.waveFormatEx, 16));
            QVERIFY(!f.attributes.isEmpty());
        }
        QCOMPARE(Engine::acmFormatSize(), largest);
        for (const char* n : {"PCM", "IEEE Float", "A-Law", "mu-Law", "IMA ADPCM",
                              "Microsoft ADPCM", "GSM 6.10", "MPEG Layer-3"})
            QVERIFY2(names.contains(n), n);
    }

    void wavWriterProducesTheChosenFormat_data() {
        QTest::addColumn<int>("index");
        const QList<WaveFormatInfo> formats = Engine::waveFormats();
        // Every format at its lowest and highest rate, mono and stereo, and one middle rate.
        QMap<QString, QList<int>> byName;
        for (int i = 0; i < formats.size(); ++i)
            byName[formats[i].formatName + le16(formats[i].waveFormatEx, 14)] << i;
        for (auto it = byName.begin(); it != byName.end(); ++it) {
            const QList<int>& l = it.value();
            for (int i : {l.first(), l.at(l.size() / 2), l.last()})
                QTest::newRow(qPrintable(formats[i].formatName + ", " + formats[i].attributes +
                                         " #" + QString::number(i)))
                    << i;
        }
    }

    void wavWriterProducesTheChosenFormat() {
        QFETCH(int, index);
        const WaveFormatInfo f = Engine::waveFormats().at(index);
        const int wantChannels = le16(f.waveFormatEx, 2);
        const int wantRate = int(le32(f.waveFormatEx, 4));
        const QString out = dir_.filePath(QStringLiteral("out-%1.wav").arg(index));

        Engine e;
        const Handle h = e.streamCreateFile(source_, true);
        QVERIFY(h);
        QVERIFY2(e.encodeStartACMFile(h, f.waveFormatEx, out) != 0, qPrintable(e.lastError()));
        pump(e, h);
        EncodeOutcome outcome;
        QVERIFY(e.streamFree(h, &outcome));
        QVERIFY2(outcome.ok, qPrintable(outcome.reason));

        const fixtures::ProbeResult p = fixtures::probe(out);
        QVERIFY2(p.ok, qPrintable(p.error));
        QCOMPARE(p.codec, codecFor(f));
        QCOMPARE(p.sampleRate, wantRate);
        QCOMPARE(p.channels, wantChannels);
        // MP3 adds its encoder delay and padding: up to two frames more.
        const bool mp3 = p.codec == "mp3";
        const double slack = 0.1 + (mp3 ? 2.0 * (wantRate >= 32000 ? 1152 : 576) / wantRate : 0);
        QVERIFY2(qAbs(p.duration - sourceSeconds_) < slack,
                 qPrintable(QString::number(p.duration)));
    }

    void badWaveFormatsAreRefused_data() {
        QTest::addColumn<QByteArray>("wfx");
        const QByteArray pcm = Engine::waveFormats().at(0).waveFormatEx;  // PCM 8 bit mono 8000
        auto patched16 = [&](QByteArray b, int at, quint16 v) {
            qToLittleEndian<quint16>(v, reinterpret_cast<uchar*>(b.data()) + at);
            return b;
        };
        auto patched32 = [&](QByteArray b, int at, quint32 v) {
            qToLittleEndian<quint32>(v, reinterpret_cast<uchar*>(b.data()) + at);
            return b;
        };
        QByteArray gsm, mp3, ima;
        for (const WaveFormatInfo& f : Engine::waveFormats()) {
            if (f.formatName == "GSM 6.10") gsm = f.waveFormatEx;
            if (f.formatName == "MPEG Layer-3" && mp3.isEmpty()) mp3 = f.waveFormatEx;
            if (f.formatName == "IMA ADPCM" && ima.isEmpty()) ima = f.waveFormatEx;
        }
        QTest::newRow("all zero") << QByteArray(Engine::acmFormatSize(), '\0');
        QTest::newRow("too short") << pcm.left(10);
        QTest::newRow("unknown tag") << patched16(pcm, 0, 0x1234);
        QTest::newRow("three channels") << patched16(pcm, 2, 3);
        QTest::newRow("96 kHz") << patched32(pcm, 4, 96000);
        QTest::newRow("pcm block align wrong") << patched16(pcm, 12, 3);
        QTest::newRow("pcm 12 bit") << patched16(patched16(pcm, 14, 12), 12, 1);
        QTest::newRow("gsm at 16 kHz") << patched32(gsm, 4, 16000);
        QTest::newRow("mp3 odd bitrate") << patched32(mp3, 8, 1234);
        QTest::newRow("ima block align not a power of two") << patched16(ima, 12, 300);
        QTest::newRow("extra bytes missing") << ima.left(19);
        QTest::newRow("cbSize past the end") << patched16(pcm, 16, 200);
    }

    void badWaveFormatsAreRefused() {
        QFETCH(QByteArray, wfx);
        Engine e;
        const Handle h = e.streamCreateFile(source_, true);
        const QString out = dir_.filePath("refused.wav");
        QCOMPARE(e.encodeStartACMFile(h, wfx, out), Handle(0));
        QVERIFY(!e.lastError().isEmpty());
        QVERIFY(!QFile::exists(out));
    }

    void wavWriteFailuresAreReported() {
        const QByteArray pcm16 = Engine::waveFormats().at(30).waveFormatEx;
        Engine e;
        // A folder that does not exist: the start fails.
        Handle h = e.streamCreateFile(source_, true);
        QCOMPARE(e.encodeStartACMFile(h, pcm16, dir_.filePath("no/such/folder/x.wav")), Handle(0));
        QVERIFY(e.lastError().contains("x.wav"));
        e.streamFree(h);
        // A full disk: either the start or the finish says so, never success.
        h = e.streamCreateFile(source_, true);
        if (e.encodeStartACMFile(h, pcm16, "/dev/full") != 0) {
            pump(e, h);
            EncodeOutcome o;
            e.streamFree(h, &o);
            QVERIFY(!o.ok);
            QVERIFY2(o.reason.contains("space"), qPrintable(o.reason));
        } else {
            QVERIFY(e.lastError().contains("space"));
        }
    }

    void stoppedConversionKeepsAValidPartialFile() {
        const QByteArray pcm16 = Engine::waveFormats().at(30).waveFormatEx;  // 16 bit
        const QString out = dir_.filePath("partial.wav");
        Engine e;
        const Handle h = e.streamCreateFile(source_, true);
        QVERIFY(e.encodeStartACMFile(h, pcm16, out));
        std::vector<char> buf(20000);
        for (int i = 0; i < 5; ++i) e.channelGetData(h, buf.data(), 20000);
        QVERIFY(e.channelStop(h));
        QVERIFY(!e.channelIsActive(h));
        EncodeOutcome o;
        e.streamFree(h, &o);
        QVERIFY(o.ok);
        const fixtures::ProbeResult p = fixtures::probe(out);
        QVERIFY(p.ok);
        QVERIFY2(p.duration > 0.1 && p.duration < 1.0, qPrintable(QString::number(p.duration)));
    }

    void failingEncodersReportWhy() {
        const QString d = dir_.path();
        auto run = [&](const QString& program, const QStringList& args, int rate = 44100,
                       int channels = 0, bool header = true) {
            return runCommand({program, args, rate, channels, header});
        };
        // No bitrate of 320 kbps exists for 8 kHz mono Vorbis.
        EncodeOutcome o = run(
            QStandardPaths::findExecutable("oggenc"),
            {"--raw-chan=1", "--bitrate=320", "-", "--raw-rate=8000", "--output=" + d + "/x.ogg"},
            8000, 1, false);
        QVERIFY(!o.ok && !o.reason.isEmpty());
        // An output folder that cannot be written.
        o = run(QStandardPaths::findExecutable("lame"),
                {"-h", "-ms", "-b128", "-s44.1", "-", d + "/missing/folder/x.mp3"});
        QVERIFY(!o.ok && !o.reason.isEmpty());
        // A program that ends at once without reading: feeding fails quietly.
        QVERIFY(!run("/bin/true", {}).ok);
        // Killed by a signal.
        o = run("/bin/sh", {"-c", "kill -9 $$"});
        QVERIFY2(!o.ok && o.reason.contains("signal 9"), qPrintable(o.reason));
        // Megabytes of stderr before reading anything: must not block, last line kept.
        o = run("/bin/sh", {"-c",
                            "head -c 3000000 /dev/zero | tr '\\0' x >&2; cat >/dev/null; "
                            "echo disk on fire >&2; exit 3"});
        QVERIFY2(!o.ok && o.reason.endsWith("disk on fire"), qPrintable(o.reason.right(100)));
    }

    void freeingTheEngineFinishesEncoders() {
        const QString out = dir_.filePath("engine-free.mp3");
        {
            Engine e;
            const Handle h = e.streamCreateFile(source_, true);
            QVERIFY(e.encodeStart(h, {QStandardPaths::findExecutable("lame"),
                                      {"--quiet", "-b128", "-", out},
                                      44100,
                                      0,
                                      true}));
            std::vector<char> buf(20000);
            for (int i = 0; i < 3; ++i) e.channelGetData(h, buf.data(), 20000);
        }  // destructor frees the stream and waits for lame
        const fixtures::ProbeResult p = fixtures::probe(out);
        QVERIFY2(p.ok, qPrintable(p.error));
        QVERIFY(p.duration > 0.2 && p.duration < 0.5);
    }
};

QTEST_GUILESS_MAIN(TestEngineEncode)
#include "tst_engine_encode.moc"
