// Playable streams through SDL2's disk driver, which writes what the device
// played to a file we can compare with the source.
#include "audio/Engine.h"
#include "support/AudioFixtures.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <csignal>

using audio::Engine;
using audio::Handle;

namespace {

// Polls like the preview's timer until position == length; false on timeout.
bool waitForEnd(Engine& e, Handle h, int timeoutMs, bool* monotonic = nullptr) {
    QElapsedTimer t;
    t.start();
    qint64 last = 0;
    while (t.elapsed() < timeoutMs) {
        const qint64 pos = e.channelGetPosition(h);
        if (monotonic && pos < last) *monotonic = false;
        last = pos;
        if (e.channelGetLength(h) == pos) return true;
        QThread::msleep(20);
    }
    return false;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class TestEnginePlay : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    int captures_ = 0;

    // Points the disk driver at a new capture file; returns its path.
    QString captureTo() {
        const QString path = dir_.filePath(QStringLiteral("capture-%1.raw").arg(++captures_));
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(path));
        return path;
    }

private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }

    void theProgramStillEndsWhenAskedTo() {
        // SIGTERM and SIGINT keep their default action (end the program)
        // once the engine runs. The test harness has its own handlers: set
        // the defaults for the check and put the harness's back afterwards.
        const int kSignals[2] = {SIGTERM, SIGINT};
        struct sigaction harness[2]{}, after[2]{};
        struct sigaction dfl {};
        dfl.sa_handler = SIG_DFL;
        for (int i = 0; i < 2; ++i) sigaction(kSignals[i], &dfl, &harness[i]);
        qputenv("SDL_AUDIODRIVER", "dummy");
        {
            Engine e;
            QVERIFY(e.init());
            for (int i = 0; i < 2; ++i) sigaction(kSignals[i], nullptr, &after[i]);
        }
        for (int i = 0; i < 2; ++i) sigaction(kSignals[i], &harness[i], nullptr);
        for (int i = 0; i < 2; ++i) QVERIFY(after[i].sa_handler == SIG_DFL);
    }

    void playsTheFilesAudioByteForByte() {
        const QString wav = fixtures::makeWav(dir_.path(), "noise.wav", 0.6, 44100, 2, "pcm_s16le",
                                              fixtures::Signal::Noise);
        const QByteArray reference = fixtures::decodeToPcm(wav);
        QVERIFY(reference.size() > 100000);
        const QString capture = captureTo();
        QElapsedTimer t;
        {
            Engine e;
            QVERIFY2(e.init(), qPrintable(e.lastError()));
            const Handle h = e.streamCreateFile(wav, false);
            QVERIFY2(h, qPrintable(e.lastError()));
            QCOMPARE(e.channelGetLength(h), qint64(reference.size()));
            QCOMPARE(e.channelGetPosition(h), qint64(0));
            t.start();
            QVERIFY(e.channelPlay(h));
            QVERIFY(e.channelIsActive(h));
            QThread::msleep(250);  // a busy UI thread must not make the sound skip
            bool monotonic = true;
            QVERIFY(waitForEnd(e, h, 5000, &monotonic));
            QVERIFY(monotonic);
            QVERIFY(t.elapsed() > 400);  // played in real time, not dumped at once
            QVERIFY(!e.channelIsActive(h));
            QCOMPARE(e.channelGetPosition(h), qint64(reference.size()));
            QVERIFY(e.streamFree(h));
            e.free();
        }
        const QByteArray played = readAll(capture);
        const qsizetype at = played.indexOf(reference.left(4096));
        QVERIFY2(at >= 0, "the start of the file was not played");
        QCOMPARE(at % 4, 0);
        QVERIFY2(played.mid(at, reference.size()) == reference,
                 "played audio differs from the file");
    }

    void otherFormatsAreConvertedToTheDevice() {
        const QString mp3 = fixtures::makeMp3(dir_.path(), "mono.mp3", 0.5, 22050, 1, 64);
        const QString capture = captureTo();
        qint64 length = 0;
        {
            Engine e;
            QVERIFY(e.init());
            const Handle h = e.streamCreateFile(mp3, false);
            QVERIFY(h);
            int rate = 0, channels = 0;
            QVERIFY(e.channelGetInfo(h, &rate, &channels));
            QCOMPARE(rate, 22050);
            QCOMPARE(channels, 1);
            QVERIFY(e.channelPlay(h));
            QVERIFY(waitForEnd(e, h, 5000));
            length = e.channelGetLength(h);
            QVERIFY(qAbs(length / 2 - 11025) <= 1152);  // source-format bytes
        }
        // The sound in the capture spans the file's duration at 44100 Hz stereo.
        const QByteArray played = readAll(capture);
        const auto* s = reinterpret_cast<const qint16*>(played.constData());
        const qsizetype n = played.size() / 2;
        qsizetype first = -1, last = -1;
        for (qsizetype i = 0; i < n; ++i)
            if (qAbs(s[i]) > 64) {
                if (first < 0) first = i;
                last = i;
            }
        QVERIFY(first >= 0);
        const double seconds = double(last - first) / 2 / 44100;
        QVERIFY2(qAbs(seconds - double(length) / 2 / 22050) < 0.06,
                 qPrintable(QString::number(seconds)));
    }

    void freeingWhilePlayingEndsCleanly() {
        const QString wav = fixtures::makeWav(dir_.path(), "long2.wav", 3.0, 44100, 2);
        captureTo();
        Engine e;
        QVERIFY(e.init());
        const Handle a = e.streamCreateFile(wav, false);
        const Handle b = e.streamCreateFile(wav, false);
        QVERIFY(e.channelPlay(a));
        QVERIFY(e.channelPlay(b));
        QThread::msleep(100);
        e.free();
        QVERIFY(!e.channelIsActive(a));
        QVERIFY(e.init());  // the device opens again
    }

    void playableStreamsNeedADeviceAndAreNotDecodeStreams() {
        const QString wav = fixtures::makeWav(dir_.path(), "short.wav", 0.2, 44100, 2);
        qputenv("SDL_AUDIODRIVER", "no-such-driver");
        Engine e;
        QVERIFY(!e.init());
        QVERIFY(!e.lastError().isEmpty());
        QCOMPARE(e.streamCreateFile(wav, false), Handle(0));  // no device
        e.free();
        qputenv("SDL_AUDIODRIVER", "dummy");
        QVERIFY(e.init());
        const Handle h = e.streamCreateFile(wav, false);
        QVERIFY(h);
        char buf[64];
        QCOMPARE(e.channelGetData(h, buf, sizeof buf), qint64(-1));
        QCOMPARE(e.encodeStart(h, {"/bin/cat", {}, 44100, 0, true}), Handle(0));
        QCOMPARE(e.streamCreateFile(dir_.filePath("missing.wav"), false), Handle(0));
        // The dummy driver plays in real time as well, and the end shows.
        QVERIFY(e.channelPlay(h));
        QVERIFY(waitForEnd(e, h, 3000));
    }
};

QTEST_GUILESS_MAIN(TestEnginePlay)
#include "tst_engine_play.moc"
