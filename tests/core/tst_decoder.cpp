// The decoder on real files made by ffmpeg, lame and oggenc, whole and damaged.
#include "core/Decoder.h"
#include "core/Progress.h"
#include "support/AudioFixtures.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <vector>

using fixtures::readFile;

namespace {

struct Drained {
    qint64 bytes = 0;
    QByteArray pcm;
    int calls = 0;
};

// Reads the way a job does: 20000-byte blocks until the end.
Drained drain(core::Decoder& d, bool keep = false) {
    Drained out;
    std::vector<uint8_t> buf(20000);
    while (!d.atEnd() && out.calls < 100000) {
        ++out.calls;
        const qint64 n = d.read(buf.data(), 20000);
        out.bytes += n;
        if (keep) out.pcm.append(reinterpret_cast<const char*>(buf.data()), n);
    }
    return out;
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

}  // namespace

class DecoderTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString path(const QString& name) const { return dir_.filePath(name); }
    QString write(const QString& name, const QByteArray& bytes) {
        return fixtures::writeFile(path(name), bytes) ? path(name) : QString();
    }
    QString truncated(const QString& source, const QString& name, double keep) {
        const QByteArray all = readFile(source);
        return write(name, all.left(qsizetype(all.size() * keep)));
    }

private slots:
    void decodesEveryKindOfFile_data() {
        // clang-format off
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
        QTest::newRow("wav ima adpcm")
            << makeWav(d, "e.wav", 0.5, 22050, 2, "adpcm_ima_wav") << 22050 << 2 << 0.5 << 2041;
        QTest::newRow("wav ms adpcm")
            << makeWav(d, "f.wav", 0.5, 16000, 1, "adpcm_ms") << 16000 << 1 << 0.5 << 2036;
        QTest::newRow("mp3 stereo") << makeMp3(d, "g.mp3", 1.0, 44100, 2) << 44100 << 2 << 1.0
                                    << 1152;
        QTest::newRow("MP3 mono") << makeMp3(d, "h.MP3", 1.0, 22050, 1, 64) << 22050 << 1 << 1.0
                                  << 1152;
        QTest::newRow("mp2") << makeEncoded(d, "i.mp2", 1.0, 48000, 2, "mp2") << 48000 << 2 << 1.0
                             << 1152;
        QTest::newRow("ogg") << makeOgg(d, "j.ogg", 1.0, 48000, 2) << 48000 << 2 << 1.0 << 2048;
        QTest::newRow("flac") << makeFlac(d, "k.flac", 1.0, 32000, 1) << 32000 << 1 << 1.0 << 0;
        QTest::newRow("aac m4a") << makeEncoded(d, "m.m4a", 1.0, 44100, 2, "aac") << 44100 << 2
                                 << 1.0 << 1024;
        QTest::newRow("vox") << makeVox(d, "p.vox", 1.0) << 8000 << 1 << 1.0 << 0;
        QTest::newRow("VOX upper case") << makeVox(d, "q.VOX", 0.5) << 8000 << 1 << 0.5 << 0;
        QTest::newRow("raw") << makeRaw(d, "r.raw", 1.0) << 44100 << 2 << 1.0 << 0;
        QTest::newRow("pcm") << makeRaw(d, "s.pcm", 0.25) << 44100 << 2 << 0.25 << 0;
        // clang-format on
    }

    void decodesEveryKindOfFile() {
        QFETCH(QString, file);
        QFETCH(int, rate);
        QFETCH(int, channels);
        QFETCH(double, seconds);
        QFETCH(int, slack);
        QVERIFY2(!file.isEmpty(), "fixture not made");
        const auto d = open(file);
        QVERIFY(d);
        QCOMPARE(d->sampleRate(), rate);
        QCOMPARE(d->channels(), channels);
        const Drained got = drain(*d);
        QCOMPARE(got.bytes % d->frameBytes(), 0);
        const qint64 samples = got.bytes / d->frameBytes();
        const qint64 expected = qRound64(seconds * rate);
        QVERIFY2(qAbs(samples - expected) <= slack,
                 qPrintable(QStringLiteral("%1 samples, expected %2").arg(samples).arg(expected)));
        QCOMPARE(d->delivered(), got.bytes);
        QCOMPARE(d->length(), got.bytes);
        uint8_t b[16];
        QCOMPARE(d->read(b, sizeof b), qint64(0));
    }

    void pcmIsTheFilesAudioAndLengthIsKnownUpFront() {
        const QString wav = fixtures::makeWav(dir_.path(), "exact.wav", 0.7, 44100, 2, "pcm_s16le",
                                              fixtures::Signal::Noise);
        const QByteArray reference = fixtures::decodeToPcm(wav);
        QVERIFY(!reference.isEmpty());
        const auto d = open(wav);
        QVERIFY(d);
        QCOMPARE(d->length(), qint64(reference.size()));
        QVERIFY(drain(*d, true).pcm == reference);
    }

    // What a running job shows, from the decoder's position and length.
    void progressPercent_data() {
        // clang-format off
        QTest::addColumn<qint64>("position");
        QTest::addColumn<qint64>("length");
        QTest::addColumn<int>("percent");  // -1: no percentage
        QTest::newRow("half to even down") << qint64(125) << qint64(1000) << 12;
        QTest::newRow("half to even up") << qint64(135) << qint64(1000) << 14;
        QTest::newRow("the end") << qint64(1000) << qint64(1000) << 100;
        QTest::newRow("past 2 GiB") << (qint64(3) << 31) << (qint64(1) << 33) << 75;
        QTest::newRow("length unknown") << qint64(5) << qint64(-1) << -1;
        QTest::newRow("length zero") << qint64(0) << qint64(0) << -1;
        // clang-format on
    }

    void progressPercent() {
        QFETCH(qint64, position);
        QFETCH(qint64, length);
        QFETCH(int, percent);
        QCOMPARE(core::progressPercent(position, length).value_or(-1), percent);
        if (percent >= 0)
            QCOMPARE(core::progressText(percent),
                     QString("Processing... %1% completed").arg(percent));
    }

    void damagedFilesFailOrEndEarly_data() {
        // clang-format off
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("mayOpen");
        const QString d = dir_.path();
        QByteArray noise(50000, '\0');
        for (int i = 0; i < noise.size(); ++i) noise[i] = char((i * 7919 + i / 13) & 0xff);
        QByteArray ogg = readFile(fixtures::makeOgg(d, "t6.ogg", 1.0, 44100, 2));
        for (qsizetype i = ogg.size() / 3; i < ogg.size() / 3 + 2000 && i < ogg.size(); ++i)
            ogg[i] = char(i);
        QTest::newRow("missing") << path("nothing-here.wav") << false;
        QTest::newRow("text as wav") << write("text.wav", "this is not audio at all\n") << false;
        QTest::newRow("folder") << d << false;
        QTest::newRow("cd track") << write("Track01.cda", QByteArray(44, 'x')) << false;
        QTest::newRow("garbage mp3") << write("garbage.mp3", noise) << true;
        QTest::newRow("wav header only")
            << truncated(fixtures::makeWav(d, "t1.wav", 0.5, 44100, 2), "t1-cut.wav", 0.0005)
            << true;
        QTest::newRow("half wav")
            << truncated(fixtures::makeWav(d, "t2.wav", 1.0, 44100, 2), "t2-cut.wav", 0.5) << true;
        QTest::newRow("half mp3")
            << truncated(fixtures::makeMp3(d, "t3.mp3", 1.0, 44100, 2), "t3-cut.mp3", 0.5) << true;
        QTest::newRow("half ogg")
            << truncated(fixtures::makeOgg(d, "t4.ogg", 1.0, 44100, 2), "t4-cut.ogg", 0.5) << true;
        QTest::newRow("ogg with damaged middle") << write("t6-bad.ogg", ogg) << true;
        // clang-format on
    }

    void damagedFilesFailOrEndEarly() {
        QFETCH(QString, file);
        QFETCH(bool, mayOpen);
        auto opened = core::Decoder::open(file);
        if (!opened) {
            QVERIFY(!opened.reason().isEmpty());
            return;
        }
        QVERIFY2(mayOpen, "opened a file that cannot be audio");
        core::Decoder& d = **opened;
        const Drained got = drain(d);
        QVERIFY(got.calls < 1000);
        QCOMPARE(d.delivered(), got.bytes);
        QCOMPARE(d.length(), got.bytes);
    }

    void lengthBeyondAnyByteCountIsUnknown() {
        // The last Ogg page claims 2^62 + 1000 samples: times four bytes a
        // frame that would wrap around to a tiny length.
        const QString file = fixtures::makeOgg(dir_.path(), "huge.ogg", 0.3, 8000, 2);
        QByteArray ogg = readFile(file);
        const qsizetype page = ogg.lastIndexOf("OggS");
        qToLittleEndian<qint64>((qint64(1) << 62) + 1000, ogg.data() + page + 6);
        fixOggCrc(ogg, page, ogg.size());
        QVERIFY(fixtures::writeFile(file, ogg));
        const auto d = open(file);
        QVERIFY(d);
        QCOMPARE(d->length(), qint64(-1));
        const Drained got = drain(*d);
        QVERIFY(got.bytes > 0);
        QCOMPARE(d->length(), got.bytes);
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
};

QTEST_GUILESS_MAIN(DecoderTest)
#include "tst_decoder.moc"
