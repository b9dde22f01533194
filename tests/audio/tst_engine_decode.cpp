// Decode streams on real files made by ffmpeg, lame and oggenc.
#include "audio/Engine.h"
#include "support/AudioFixtures.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <vector>

using audio::Engine;
using audio::Handle;

namespace {

struct Drained {
    qint64 bytes = 0;
    QByteArray pcm;
    int calls = 0;
};

// Pumps a decode stream the way the conversion does: 20000-byte blocks while active.
Drained drain(Engine& e, Handle h, bool keep = false) {
    Drained d;
    std::vector<char> buf(20001);
    while (e.channelIsActive(h) && d.calls < 100000) {
        ++d.calls;
        const qint64 n = e.channelGetData(h, buf.data(), 20000);
        if (n > 0) {
            d.bytes += n;
            if (keep) d.pcm.append(buf.data(), n);
        }
    }
    return d;
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

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class TestEngineDecode : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString path(const QString& name) const { return dir_.filePath(name); }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        QVERIFY(Engine::versionMismatch().isEmpty());
    }

    void decodesEveryKindOfFile_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<int>("slack");  // samples: one codec frame for lossy formats
        const QString d = dir_.path();
        using namespace fixtures;
        QTest::newRow("wav s16 stereo")
            << makeWav(d, "a.wav", 1.0, 44100, 2) << 44100 << 2 << 1.0 << 0;
        QTest::newRow("wav u8 mono")
            << makeWav(d, "b.wav", 0.5, 11025, 1, "pcm_u8") << 11025 << 1 << 0.5 << 0;
        QTest::newRow("wav float")
            << makeWav(d, "c.wav", 0.5, 48000, 2, "pcm_f32le") << 48000 << 2 << 0.5 << 0;
        QTest::newRow("wav a-law")
            << makeWav(d, "d.wav", 0.5, 8000, 1, "pcm_alaw") << 8000 << 1 << 0.5 << 0;
        QTest::newRow("wav ima adpcm")
            << makeWav(d, "e.wav", 0.5, 22050, 2, "adpcm_ima_wav") << 22050 << 2 << 0.5 << 2041;
        QTest::newRow("wav ms adpcm")
            << makeWav(d, "f.wav", 0.5, 16000, 1, "adpcm_ms") << 16000 << 1 << 0.5 << 2036;
        QTest::newRow("mp3 lame stereo")
            << makeMp3(d, "g.mp3", 1.0, 44100, 2) << 44100 << 2 << 1.0 << 1152;
        QTest::newRow("mp3 lame mono")
            << makeMp3(d, "h.MP3", 1.0, 22050, 1, 64) << 22050 << 1 << 1.0 << 1152;
        QTest::newRow("mp2") << makeEncoded(d, "i.mp2", 1.0, 48000, 2, "mp2") << 48000 << 2 << 1.0
                             << 1152;
        QTest::newRow("ogg oggenc")
            << makeOgg(d, "j.ogg", 1.0, 48000, 2) << 48000 << 2 << 1.0 << 2048;
        QTest::newRow("flac") << makeFlac(d, "k.flac", 1.0, 32000, 1) << 32000 << 1 << 1.0 << 0;
        QTest::newRow("opus") << makeEncoded(d, "l.opus", 1.0, 48000, 2, "libopus") << 48000 << 2
                              << 1.0 << 960;
        QTest::newRow("aac m4a") << makeEncoded(d, "m.m4a", 1.0, 44100, 2, "aac") << 44100 << 2
                                 << 1.0 << 1024;
        QTest::newRow("aiff") << makeEncoded(d, "n.aiff", 0.5, 22050, 2, "pcm_s16be") << 22050 << 2
                              << 0.5 << 0;
        QTest::newRow("mpeg program stream")
            << makeEncoded(d, "o.mpg", 1.0, 48000, 2, "mp2") << 48000 << 2 << 1.0 << 1152;
        QTest::newRow("vox") << makeVox(d, "p.vox", 1.0) << 8000 << 1 << 1.0 << 0;
        QTest::newRow("VOX upper case") << makeVox(d, "q.VOX", 0.5) << 8000 << 1 << 0.5 << 0;
        QTest::newRow("raw") << makeRaw(d, "r.raw", 1.0) << 44100 << 2 << 1.0 << 0;
        QTest::newRow("pcm") << makeRaw(d, "s.pcm", 0.25) << 44100 << 2 << 0.25 << 0;
    }

    void decodesEveryKindOfFile() {
        QFETCH(QString, file);
        QFETCH(int, rate);
        QFETCH(int, channels);
        QFETCH(double, seconds);
        QFETCH(int, slack);
        QVERIFY2(!file.isEmpty(), "fixture not made");

        Engine e;
        const Handle h = e.streamCreateFile(file, true);
        QVERIFY2(h != 0, qPrintable(e.lastError()));
        int r = 0, c = 0;
        QVERIFY(e.channelGetInfo(h, &r, &c));
        QCOMPARE(r, rate);
        QCOMPARE(c, channels);

        const Drained d = drain(e, h);
        const qint64 frameBytes = 2 * channels;
        QCOMPARE(d.bytes % frameBytes, 0);
        const qint64 samples = d.bytes / frameBytes;
        const qint64 expected = qRound64(seconds * rate);
        QVERIFY2(qAbs(samples - expected) <= slack,
                 qPrintable(QStringLiteral("%1 samples, expected %2").arg(samples).arg(expected)));
        QVERIFY(!e.channelIsActive(h));
        QCOMPARE(e.channelGetPosition(h), d.bytes);
        QCOMPARE(e.channelGetLength(h), d.bytes);
        char b[16];
        QCOMPARE(e.channelGetData(h, b, sizeof b), qint64(-1));
        QVERIFY(e.streamFree(h));
    }

    void pcmIsTheFilesAudioAndLengthIsKnownUpFront() {
        const QString wav = fixtures::makeWav(dir_.path(), "exact.wav", 0.7, 44100, 2, "pcm_s16le",
                                              fixtures::Signal::Noise);
        QVERIFY(!wav.isEmpty());
        const QByteArray reference = fixtures::decodeToPcm(wav);
        QVERIFY(!reference.isEmpty());
        Engine e;
        const Handle h = e.streamCreateFile(wav, true);
        QVERIFY(h);
        QCOMPARE(e.channelGetLength(h), qint64(reference.size()));
        QCOMPARE(e.channelGetPosition(h), qint64(0));
        const Drained d = drain(e, h, true);
        QVERIFY(d.pcm == reference);
        e.streamFree(h);
    }

    void lengthStaysAheadOfPositionUntilTheEnd() {
        // A raw file's length is estimated; the estimate never equals the
        // position before the stream has really ended.
        const QString mp3 = fixtures::makeMp3(dir_.path(), "est.mp3", 1.0, 44100, 2);
        Engine e;
        const Handle h = e.streamCreateFile(mp3, true);
        QVERIFY(h);
        std::vector<char> buf(20000);
        while (e.channelIsActive(h)) {
            e.channelGetData(h, buf.data(), 20000);
            if (e.channelIsActive(h)) QVERIFY(e.channelGetLength(h) > e.channelGetPosition(h));
        }
        QCOMPARE(e.channelGetLength(h), e.channelGetPosition(h));
    }

    void damagedFilesFailOrEndEarly_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("mayOpen");
        const QString d = dir_.path();
        auto write = [&](const QString& name, const QByteArray& bytes) {
            QFile f(path(name));
            f.open(QIODevice::WriteOnly);
            f.write(bytes);
            return f.fileName();
        };
        auto truncated = [&](const QString& src, const QString& name, double keep) {
            QFile f(src);
            f.open(QIODevice::ReadOnly);
            const QByteArray all = f.readAll();
            return write(name, all.left(int(all.size() * keep)));
        };
        QByteArray noise(50000, '\0');
        for (int i = 0; i < noise.size(); ++i) noise[i] = char((i * 7919 + i / 13) & 0xff);
        QTest::newRow("missing") << path("nothing-here.wav") << false;
        QTest::newRow("empty") << write("empty.mp3", {}) << false;
        QTest::newRow("text as wav") << write("text.wav", "this is not audio at all\n") << false;
        QTest::newRow("folder") << d << false;
        QTest::newRow("cd track") << write("Track01.cda", QByteArray(44, 'x')) << false;
        QTest::newRow("CDA upper case") << write("Track02.CDA", QByteArray(44, 'x')) << false;
        QTest::newRow("garbage mp3") << write("garbage.mp3", noise) << true;
        QTest::newRow("wav header only")
            << truncated(fixtures::makeWav(d, "t1.wav", 0.5, 44100, 2), "t1-cut.wav", 0.0005)
            << true;
        QTest::newRow("half wav") << truncated(fixtures::makeWav(d, "t2.wav", 1.0, 44100, 2),
                                               "t2-cut.wav", 0.5)
                                  << true;
        QTest::newRow("half mp3") << truncated(fixtures::makeMp3(d, "t3.mp3", 1.0, 44100, 2),
                                               "t3-cut.mp3", 0.5)
                                  << true;
        QTest::newRow("half ogg") << truncated(fixtures::makeOgg(d, "t4.ogg", 1.0, 44100, 2),
                                               "t4-cut.ogg", 0.5)
                                  << true;
        QTest::newRow("half flac")
            << truncated(fixtures::makeFlac(d, "t5.flac", 1.0, 44100, 2), "t5-cut.flac", 0.5)
            << true;
        QByteArray ogg;
        {
            QFile f(fixtures::makeOgg(d, "t6.ogg", 1.0, 44100, 2));
            f.open(QIODevice::ReadOnly);
            ogg = f.readAll();
        }
        for (int i = ogg.size() / 3; i < ogg.size() / 3 + 2000 && i < ogg.size(); ++i)
            ogg[i] = char(i);
        QTest::newRow("ogg with damaged middle") << write("t6-bad.ogg", ogg) << true;
    }

    void damagedFilesFailOrEndEarly() {
        QFETCH(QString, file);
        QFETCH(bool, mayOpen);
        Engine e;
        const Handle h = e.streamCreateFile(file, true);
        if (!h) {
            QVERIFY(!e.lastError().isEmpty());
            return;
        }
        QVERIFY2(mayOpen, "opened a file that cannot be audio");
        const Drained d = drain(e, h);
        QVERIFY(d.calls < 1000);
        QVERIFY(!e.channelIsActive(h));
        QCOMPARE(e.channelGetPosition(h), d.bytes);
        QCOMPARE(e.channelGetLength(h), d.bytes);
        QVERIFY(e.streamFree(h));
    }

    void lengthBeyondAnyByteCountIsUnknown() {
        // The last Ogg page claims 2^62 + 1000 samples: times four bytes a
        // frame that wrapped around to a tiny length.
        QFile f(fixtures::makeOgg(dir_.path(), "huge.ogg", 0.3, 8000, 2));
        QVERIFY(f.open(QIODevice::ReadWrite));
        QByteArray ogg = f.readAll();
        const qsizetype page = ogg.lastIndexOf("OggS");
        qToLittleEndian<qint64>((qint64(1) << 62) + 1000, ogg.data() + page + 6);
        fixOggCrc(ogg, page, ogg.size());
        f.seek(0);
        f.write(ogg);
        f.close();

        Engine e;
        const Handle h = e.streamCreateFile(f.fileName(), true);
        QVERIFY(h);
        QCOMPARE(e.channelGetLength(h), qint64(-1));
        const Drained d = drain(e, h);
        QVERIFY(d.bytes > 0);
        QCOMPARE(e.channelGetLength(h), d.bytes);
    }

    void absurdRateMidStreamIsDroppedNotBlownUp() {
        // Two chained Ogg streams; the second's header claims 1 Hz. Converted
        // to 48 kHz its half second would be 24000 s of audio, 196 MB a frame.
        const QByteArray first = readFile(fixtures::makeOgg(dir_.path(), "c1.ogg", 0.5, 48000, 2));
        QByteArray second = readFile(fixtures::makeOgg(dir_.path(), "c2.ogg", 0.5, 48000, 2));
        QVERIFY(!first.isEmpty() && !second.isEmpty());
        // The first page holds the identification header and nothing else.
        const qsizetype firstPageEnd = 27 + quint8(second[26]) + quint8(second[27]);
        QCOMPARE(second.indexOf("OggS", 1), firstPageEnd);
        qToLittleEndian<quint32>(0x5eed, second.data() + 14);  // its own serial number
        qToLittleEndian<quint32>(1, second.data() + second.indexOf("\x01vorbis") + 12);
        fixOggCrc(second, 0, firstPageEnd);
        for (qsizetype p = firstPageEnd; p >= 0;) {  // the serial is in every page
            const qsizetype next = second.indexOf("OggS", p + 1);
            qToLittleEndian<quint32>(0x5eed, second.data() + p + 14);
            fixOggCrc(second, p, next < 0 ? second.size() : next);
            p = next;
        }
        QFile f(path("chained.ogg"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(first + second);
        f.close();

        Engine e;
        const Handle h = e.streamCreateFile(f.fileName(), true);
        QVERIFY(h);
        std::vector<char> buf(1 << 20);
        qint64 total = 0;
        while (e.channelIsActive(h) && total < (16 << 20))
            total += std::max<qint64>(0, e.channelGetData(h, buf.data(), 1 << 20));
        QVERIFY(!e.channelIsActive(h));
        QVERIFY2(total >= 48000 * 4 / 4, qPrintable(QString::number(total)));  // the first stream
        QVERIFY(total <= 48000 * 4 * 2);
    }

    void stopEndsAStreamMidway() {
        const QString wav = fixtures::makeWav(dir_.path(), "stop.wav", 1.0, 44100, 2);
        Engine e;
        const Handle h = e.streamCreateFile(wav, true);
        std::vector<char> buf(20000);
        QCOMPARE(e.channelGetData(h, buf.data(), 20000), qint64(20000));
        QVERIFY(e.channelIsActive(h));
        QVERIFY(e.channelStop(h));
        QVERIFY(!e.channelIsActive(h));
        QCOMPARE(e.channelGetData(h, buf.data(), 20000), qint64(-1));
        QCOMPARE(e.channelGetPosition(h), qint64(20000));
        QVERIFY(e.streamFree(h));
    }

    void blocksHoldWholeSampleFrames() {
        const QString wav = fixtures::makeWav(dir_.path(), "frames.wav", 0.2, 44100, 2);
        Engine e;
        const Handle h = e.streamCreateFile(wav, true);
        std::vector<char> buf(64);
        QCOMPARE(e.channelGetData(h, buf.data(), 7), qint64(4));
        QCOMPARE(e.channelGetData(h, buf.data(), 3), qint64(0));
        QCOMPARE(e.channelGetPosition(h), qint64(4));
    }

    void handlesAreCheckedAndNotReused() {
        const QString wav = fixtures::makeWav(dir_.path(), "h.wav", 0.1, 8000, 1);
        Engine e;
        char b[4];
        for (Handle bad : {Handle(0), Handle(12345), Handle(0xFFFFFFFF)}) {
            QCOMPARE(e.channelGetData(bad, b, 4), qint64(-1));
            QVERIFY(!e.lastError().isEmpty());
            QCOMPARE(e.channelGetLength(bad), qint64(-1));
            QCOMPARE(e.channelGetPosition(bad), qint64(-1));
            QVERIFY(!e.channelIsActive(bad));
            QVERIFY(!e.channelStop(bad));
            QVERIFY(!e.channelPlay(bad));
            QVERIFY(!e.streamFree(bad));
            QVERIFY(!e.channelGetInfo(bad, nullptr, nullptr));
            QCOMPARE(e.encodeStart(bad, {}), Handle(0));
            QCOMPARE(e.encodeStartACMFile(bad, Engine::waveFormats().first().waveFormatEx,
                                          path("x.wav")),
                     Handle(0));
        }
        QSet<Handle> seen;
        for (int i = 0; i < 20; ++i) {
            const Handle h = e.streamCreateFile(wav, true);
            QVERIFY(h != 0);
            QVERIFY(!seen.contains(h));
            seen.insert(h);
            QVERIFY(e.streamFree(h));
            QCOMPARE(e.channelGetLength(h), qint64(-1));
            QVERIFY(!e.streamFree(h));
        }
        // A decode stream is not playable.
        const Handle h = e.streamCreateFile(wav, true);
        QVERIFY(!e.channelPlay(h));
    }
};

QTEST_GUILESS_MAIN(TestEngineDecode)
#include "tst_engine_decode.moc"
