// Previews through the main window, played by SDL's disk driver into a file
// so the test can hear what the person would.
#include "support/AudioFixtures.h"
#include "support/gui/ScriptedDialogs.h"
#include "ui/StartApplication.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

class PreviewTest : public QObject {
    Q_OBJECT

public:
    explicit PreviewTest(QString capture) : m_capture(std::move(capture)) {}

private:
    QString m_capture;
    QTemporaryDir m_media;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<ui::Application> m_app;
    QString m_short;  // 0.5 s of 44100 Hz stereo noise

    ui::Form1& form() { return *m_app->window; }
    filelist::SourceList& list() { return form().sourceList(); }
    bool idle() {
        return form().PreviewStream == 0 && !form().Timer3->isActive() && form().LW1->isEnabled() &&
               !form().Command6->isEnabled() && form().Command5->isEnabled();
    }
    qint64 captured() { return QFileInfo(m_capture).size(); }

private slots:
    void initTestCase() {
        m_app = ui::StartApplication(m_dialogs);
        QVERIFY(m_app);
        form().exitProcess = [] {};
        m_short = fixtures::makeWav(m_media.path(), "short.wav", 0.5, 44100, 2, "pcm_s16le",
                                    fixtures::Signal::Noise);
        QVERIFY(!m_short.isEmpty());
    }

    void init() {
        list().RemoveAll();
        QTest::qWait(120);
    }

    void playingToTheEndReturnsToIdle() {
        QVERIFY(list().AddSourceFile(m_short));
        list().select(0);
        QTest::qWait(120);
        const qint64 before = captured();
        QElapsedTimer clock;
        clock.start();
        form().Command5_Click();
        QCOMPARE(list().status(0), QString("Playing..."));
        QVERIFY(form().Command6->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(idle(), 5000);
        QCOMPARE(list().status(0), QString());
        // Half a second of audio takes half a second to play, and the end is
        // noticed promptly.
        const qint64 idleAt = clock.elapsed();
        QVERIFY2(idleAt >= 450 && idleAt < 1500, qPrintable(QString::number(idleAt)));

        // What the device played is the file's audio.
        QFile capture(m_capture);
        QVERIFY(capture.open(QIODevice::ReadOnly));
        capture.seek(before);
        const QByteArray played = capture.readAll();
        const QByteArray pcm = fixtures::decodeToPcm(m_short);
        QVERIFY(pcm.size() > 80000);
        QVERIFY(played.contains(pcm));
    }

    void stopMidwayAndPlayAgainFromTheStart() {
        const QString longer = fixtures::makeWav(m_media.path(), "long.wav", 5.0, 44100, 2);
        QVERIFY(list().AddSourceFile(longer));
        list().select(0);
        QTest::qWait(120);
        form().m_play_Click();
        QTest::qWait(700);
        QVERIFY(form().PreviewStream != 0);
        form().Command6_Click();
        QCOMPARE(list().status(0), QString());
        QVERIFY(idle());
        QCOMPARE(form().GlobalStop, qint16(0));  // stopping a preview asks no run to stop

        form().m_play_Click();
        QVERIFY(form().PreviewStream != 0);
        const qint64 position = form().engine.channelGetPosition(form().PreviewStream);
        QVERIFY2(position < 44100 * 4 / 2, qPrintable(QString::number(position)));
        form().m_stop_Click();
        QVERIFY(idle());
    }

    void unplayableFileChangesNothingVisible() {
        const QString junk = m_media.filePath("junk.wav");
        QFile f(junk);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(3000, 'q'));
        f.close();
        QVERIFY(list().AddSourceFile(junk));
        list().select(0);
        QTest::qWait(120);
        form().m_play_Click();
        QTest::qWait(250);
        QVERIFY(idle());
        QCOMPARE(list().status(0), QString("Not processed"));
        QCOMPARE(form().GlobalStop, qint16(0));
        QVERIFY(m_dialogs.messages.isEmpty());
    }

    void playWithoutSelectionAndStopWithNothingPlayingDoNothing() {
        QVERIFY(list().AddSourceFile(m_short));
        form().LW1->clearSelection();
        QTest::qWait(120);
        form().m_play_Click();
        form().m_stop_Click();
        QTest::qWait(120);
        QVERIFY(idle());
        QCOMPARE(list().status(0), QString("Not processed"));
    }
};

int main(int argc, char** argv) {
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toUtf8());
    const QString capture = home.filePath("played.raw");
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", capture.toUtf8());
    QApplication app(argc, argv);
    PreviewTest test(capture);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_preview.moc"
