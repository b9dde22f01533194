// The decoder on real files made by ffmpeg, whole and damaged, and the
// percentage a running job shows from it.
#include "core/Decoder.h"
#include "core/Progress.h"
#include "support/AudioFixtures.h"

#include <QtTest>

#include <tuple>
#include <vector>

using fixtures::readFile;

namespace {

struct Drained {
    qint64 bytes = 0;
    QByteArray pcm;
    int calls = 0;
};

// Reads the way a job does: 20000-byte blocks until the end.
Drained drain(core::Decoder& d) {
    Drained out;
    std::vector<uint8_t> buf(20000);
    while (!d.atEnd() && out.calls < 100000) {
        ++out.calls;
        const qint64 n = d.read(buf.data(), 20000);
        out.bytes += n;
        out.pcm.append(reinterpret_cast<const char*>(buf.data()), n);
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
    // Pages of 20 ms, as encoders write them (ffmpeg's default is one a second).
    QString ogg(const QString& name, double seconds, int rate) {
        return fixtures::make(dir_.path(), name, seconds, rate, 2,
                              {"-c:a", "libvorbis", "-page_duration", "20000"});
    }

private slots:
    // File, rate, channels, seconds, slack in samples (a codec frame for the
    // lossy formats). The headerless formats go by extension, in any case.
    void decodesEveryKindOfFile() {
        using namespace fixtures;
        const QString d = dir_.path();
        const std::tuple<QString, int, int, double, int> rows[] = {
            {makeWav(d, "a.wav", 1.0, 44100, 2), 44100, 2, 1.0, 0},
            {makeWav(d, "e.wav", 0.5, 22050, 2, "adpcm_ima_wav"), 22050, 2, 0.5, 2041},
            {makeEncoded(d, "g.mp3", 1.0, 44100, 2, "libmp3lame"), 44100, 2, 1.0, 1152},
            {ogg("j.ogg", 1.0, 48000), 48000, 2, 1.0, 2048},
            {makeEncoded(d, "k.flac", 1.0, 32000, 1, "flac"), 32000, 1, 1.0, 0},
            {makeVox(d, "p.vox", 1.0), 8000, 1, 1.0, 0},
            {makeVox(d, "q.VOX", 0.5), 8000, 1, 0.5, 0},
            {makeRaw(d, "r.raw", 1.0), 44100, 2, 1.0, 0},
            {makeRaw(d, "s.pcm", 0.25), 44100, 2, 0.25, 0}};
        for (const auto& [file, rate, channels, seconds, slack] : rows) {
            const auto decoder = open(file);
            QVERIFY2(decoder, qPrintable(file));
            QCOMPARE(decoder->sampleRate(), rate);
            QCOMPARE(decoder->channels(), channels);
            const Drained got = drain(*decoder);
            QCOMPARE(got.bytes % decoder->frameBytes(), 0);
            const qint64 samples = got.bytes / decoder->frameBytes();
            QVERIFY2(qAbs(samples - qRound64(seconds * rate)) <= slack, qPrintable(file));
            QCOMPARE(decoder->delivered(), got.bytes);
            QCOMPARE(decoder->length(), got.bytes);
            uint8_t b[16];
            QCOMPARE(decoder->read(b, sizeof b), qint64(0));
        }
    }

    void pcmIsTheFilesAudioAndLengthIsKnownUpFront() {
        const QString wav = fixtures::makeWav(dir_.path(), "exact.wav", 0.7, 44100, 2, "pcm_s16le",
                                              fixtures::Signal::Noise);
        const QByteArray reference = fixtures::decodeToPcm(wav);
        QVERIFY(!reference.isEmpty());
        const auto decoder = open(wav);
        QVERIFY(decoder);
        QCOMPARE(decoder->length(), qint64(reference.size()));
        QVERIFY(drain(*decoder).pcm == reference);
    }

    // What a running job shows: half to even, past 2 GiB, none for an
    // unknown or zero length.
    void progressPercent() {
        const std::tuple<qint64, qint64, int> rows[] = {{125, 1000, 12},
                                                        {1000, 1000, 100},
                                                        {qint64(3) << 31, qint64(1) << 33, 75},
                                                        {5, -1, -1},
                                                        {0, 0, -1}};
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
        const std::pair<QString, bool> rows[] = {
            {half, true},
            {write("bad.ogg", ogg), true},
            {write("half.wav", wav.left(wav.size() / 2)), true},
            {path("nothing-here.wav"), false},
            {write("text.wav", "this is not audio at all\n"), false},
            {dir_.path(), false},
            {write("Track01.cda", QByteArray(44, 'x')), false}};
        for (const auto& [file, mayOpen] : rows) {
            auto opened = core::Decoder::open(file);
            if (!opened) {
                QVERIFY(!opened.reason().isEmpty());
                continue;
            }
            QVERIFY2(mayOpen, qPrintable(file));
            const Drained got = drain(**opened);
            QVERIFY(got.calls < 1000);
            QCOMPARE((*opened)->delivered(), got.bytes);
            QCOMPARE((*opened)->length(), got.bytes);
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
        const Drained got = drain(*d);
        QVERIFY(got.bytes > 0);
        QCOMPARE(d->length(), got.bytes);
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
};

QTEST_GUILESS_MAIN(DecoderTest)
#include "tst_decoder.moc"
