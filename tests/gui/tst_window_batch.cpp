// Batches started from the window: the rows follow the batch's signals,
// the controls go busy and idle, the end is announced (or not), the WAV
// format is asked through the dialogs, and no encoder outlives the window.
// Real files, real lame and oggenc; only the person's answers are scripted.

#include "core/Settings.h"
#include "core/WaveFormat.h"
#include "support/AudioFixtures.h"
#include "support/Processes.h"
#include "support/gui/WindowFixture.h"

#include <QDBusConnection>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <signal.h>
#include <unistd.h>

#include <functional>

namespace {

QByteArray pcmFormat(int rate, int channels, int bits) {
    for (const core::WaveFormatInfo& f : core::waveFormats())
        if (f.codec == QString("pcm%1").arg(bits) && f.sampleRate == rate && f.channels == channels)
            return f.waveFormatEx;
    return {};
}

int encoderChildren() {
    int n = 0;
    for (const fixtures::ChildInfo& c : fixtures::children())
        if (c.name == "lame" || c.name == "oggenc") ++n;
    return n;
}

}  // namespace

Q_DECLARE_METATYPE(gui::WaveFormatChoice)

// What a desktop's notification server and dock receive.
class NotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList notifications;  // their summaries
    QList<int> progress;        // percent; -1 hidden

public slots:
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString&,
                const QStringList&, const QVariantMap&, int) {
        notifications << summary;
        return uint(notifications.size());
    }
    void Update(const QString&, const QVariantMap& properties) {
        progress << (properties.value("progress-visible").toBool()
                         ? qRound(properties.value("progress").toDouble() * 100)
                         : -1);
    }
};

class WindowBatchTest : public QObject {
    Q_OBJECT

    QTemporaryDir media_;
    fixtures::StartedWindow s_;
    QString tone_, noise_, junk_;

    // Runs action once, inside the window's own handling of the first job start.
    void onFirstStart(std::function<void()> action) {
        auto connection = std::make_shared<QMetaObject::Connection>();
        *connection = connect(s_.window().batch(), &core::Batch::jobStarted, this,
                              [connection, action = std::move(action)] {
                                  QObject::disconnect(*connection);
                                  action();
                              });
    }
    bool waitIdle() {
        return QTest::qWaitFor([this] { return s_.idle(); }, 120000);
    }
    QLabel* filesLabel() { return s_.window().findChild<QLabel*>("batchFilesLabel"); }

private slots:
    void initTestCase() {
        QVERIFY(s_.start());
        tone_ = fixtures::makeWav(media_.path(), "tone.wav", 2.0, 44100, 2);
        noise_ = fixtures::makeWav(media_.path(), "noise.wav", 30.0, 44100, 2, "pcm_s16le",
                                   fixtures::Signal::Noise);
        junk_ = fixtures::touch(media_.filePath("junk.wav"), 3000);
        QVERIFY(!tone_.isEmpty() && !noise_.isEmpty() && !junk_.isEmpty());
    }

    void init() {
        s_.rows().removeAll();
        s_.dialogs = ScriptedDialogs();
        s_.ui().openFolderCheck->setCheckState(Qt::Checked);
    }

    void cleanup() { QCOMPARE(encoderChildren(), 0); }

    void completedBatch_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("jobs");
        QTest::addColumn<Qt::CheckState>("boxes");  // both check boxes
        QTest::newRow("mp3, one at a time") << 1 << 1 << Qt::Unchecked;
        QTest::newRow("ogg, two at once, grey boxes") << 2 << 2 << Qt::PartiallyChecked;
        QTest::newRow("mp3 beside the sources") << 1 << 2 << Qt::Checked;
    }

    // Every row converted, the controls busy during the run and idle after,
    // the success box and the output folder; a row dropped during the run
    // waits for the next one. A grey box counts as unticked.
    void completedBatch() {
        QFETCH(int, format);
        QFETCH(int, jobs);
        QFETCH(Qt::CheckState, boxes);
        const bool sameFolder = boxes == Qt::Checked;
        QTemporaryDir out;
        const QString ext = format == 1 ? "mp3" : "ogg";
        QStringList sources{tone_, tone_, tone_};
        if (sameFolder) {
            QDir().mkpath(out.filePath("a"));
            QDir().mkpath(out.filePath("b"));
            sources = QStringList{out.filePath("a/one.wav"), out.filePath("b/two.wav")};
            for (const QString& p : sources) QVERIFY(QFile::copy(tone_, p));
        }
        s_.prepareRun(format, out.path(), jobs);
        s_.ui().sameFolderCheck->setCheckState(boxes);
        if (boxes != Qt::Unchecked) s_.ui().openFolderCheck->setCheckState(boxes);
        QCOMPARE(s_.rows().addFiles(sources), sources.size());

        bool busy = false;
        onFirstStart([&] {
            const gui::MainWindowUi& u = s_.ui();
            busy = !u.startButton->isEnabled() && !u.convertAction->isEnabled() &&
                   u.stopButton->isEnabled() && !u.playButton->isEnabled() &&
                   !u.addButton->isEnabled() && !u.removeAction->isEnabled() &&
                   !u.outputFormatCombo->isEnabled() && !u.settingsButton->isEnabled() &&
                   !u.destinationEdit->isEnabled() && !u.sameFolderCheck->isEnabled() &&
                   u.sourceList->isEnabled() && s_.window().statusBar()->isVisible() &&
                   filesLabel()->text().startsWith(QString("0 of %1 files").arg(sources.size()));
            QCOMPARE(s_.rows().status(0), QStringLiteral("Processing..."));
            s_.rows().addFiles({tone_});
        });
        s_.ui().startButton->click();
        QVERIFY(waitIdle());
        QVERIFY(busy);

        QStringList expected(sources.size(), QStringLiteral("Converted."));
        QCOMPARE(s_.statuses(), expected << QStringLiteral("Not processed"));
        QCOMPARE(s_.dialogs.messages.size(), 1);
        QVERIFY2(QRegularExpression(QString("^%1 files converted in 0:\\d\\d$").arg(sources.size()))
                     .match(s_.dialogs.messages[0].text)
                     .hasMatch(),
                 qPrintable(s_.dialogs.messages[0].text));
        QCOMPARE(s_.dialogs.messages[0].icon, QMessageBox::Information);
        QCOMPARE(s_.dialogs.messages[0].title, QStringLiteral("Sonbridge"));
        if (sameFolder) {
            QVERIFY(QFile::exists(out.filePath("a/one." + ext)));
            QVERIFY(QFile::exists(out.filePath("b/two." + ext)));
            // The folder of the last row started.
            QCOMPARE(s_.dialogs.openedUrls, QList<QUrl>{QUrl::fromLocalFile(out.filePath("b/"))});
        } else {
            for (const QString name : {"tone.", "tone (copy).", "tone (copy 2)."}) {
                const auto probe = fixtures::probe(out.filePath(name + ext));
                QVERIFY2(probe.ok, qPrintable(name + probe.error));
                QVERIFY(qAbs(probe.duration - 2.0) < 0.1);
            }
            QCOMPARE(s_.dialogs.openedUrls.size(), boxes == Qt::Unchecked ? 1 : 0);
            if (boxes == Qt::Unchecked)
                QCOMPARE(s_.dialogs.openedUrls[0], QUrl::fromLocalFile(out.path()));
        }
        QVERIFY(s_.ui().startButton->isEnabled() && s_.ui().addButton->isEnabled());
        QVERIFY(!s_.window().statusBar()->isVisible() && !s_.ui().stopButton->isEnabled());
    }

    // One settings file, read by the window and by the command line: both
    // take and refuse the same values and make the same file of a source.
    void windowAndCommandLineReadSettingsAlike() {
        struct Row {
            QByteArray keys;
            int sourceRate, sourceChannels;
            QString extension, audio;
        };
        const Row rows[] = {
            // 100 kbps is no MP3 bitrate: the nearest is used.
            {"3=100\n4=1\n5=1\n6=44100", 44100, 2, "mp3", "mp3 44100 2"},
            {"4=1\nMp3Mode=vbr\nMp3Quality=7\n5=2\n6=0", 48000, 1, "mp3", "mp3 48000 1"},
            // Level 12 is refused: the default 5.
            {"4=3\nFlacCompression=12\n5=0\n6=22050", 44100, 2, "flac", "flac 22050 1"},
            {"4=6\n5=2\n6=0", 96000, 6, "m4a", "alac 96000 6"}};
        QTemporaryDir home;
        const QString settingsFolder = home.filePath("Documents/Quillmoor Sonbridge");
        QVERIFY(QDir().mkpath(settingsFolder) && QDir().mkpath(home.filePath("src")));
        for (const Row& row : rows) {
            const QString source = fixtures::makeWav(home.filePath("src"), "in.wav", 1.0,
                                                     row.sourceRate, row.sourceChannels);
            const QString settingsPath = settingsFolder + "/settings.ini";
            QVERIFY(fixtures::writeFile(settingsPath, "[Main]\n0=0\n8=0\n" + row.keys + "\n"));

            QProcess cli;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("HOME", home.path());
            cli.setProcessEnvironment(env);
            cli.start(SONBRIDGE_CLI_PATH, {"-q", "-o", home.filePath("cli"), source});
            QVERIFY2(cli.waitForFinished(60000) && cli.exitCode() == 0, cli.readAllStandardError());

            core::Settings settings = s_.window().currentSettings();
            core::loadSettings(settings, settingsPath);
            settings.destination = home.filePath("window");
            s_.window().showSettings(settings);
            s_.rows().removeAll();
            QCOMPARE(s_.rows().addFiles({source}), 1);
            s_.ui().startButton->click();
            QVERIFY(waitIdle());
            QCOMPARE(s_.statuses(), QStringList{"Converted."});

            const QString name = "/in." + row.extension;
            const QByteArray fromCli = fixtures::readFile(home.filePath("cli") + name);
            const QByteArray fromWindow = fixtures::readFile(home.filePath("window") + name);
            const fixtures::ProbeResult p = fixtures::probe(home.filePath("window") + name);
            QCOMPARE(QString("%1 %2 %3").arg(p.codec).arg(p.sampleRate).arg(p.channels), row.audio);
            QVERIFY2(!fromCli.isEmpty() && fromCli.size() == fromWindow.size(), row.keys);
            QDir(home.filePath("cli")).removeRecursively();
            QDir(home.filePath("window")).removeRecursively();
        }
    }

    // Stop gives the commands back at once but refuses them until the run
    // has wound down; every row ends "Terminated." and the box says so.
    void stopTerminatesTheRun() {
        QTemporaryDir out;
        s_.prepareRun(1, out.path(), 1);
        s_.rows().addFiles({noise_, noise_, tone_});
        bool refused = false;
        onFirstStart([&] {
            s_.ui().stopButton->click();
            const gui::MainWindowUi& u = s_.ui();
            QVERIFY(!u.stopAction->isEnabled() && u.startButton->isEnabled());
            QVERIFY(!u.outputFormatCombo->isEnabled());  // still winding down
            u.convertAction->trigger();
            s_.rows().select(2);
            u.removeAction->trigger();
            u.playAction->trigger();
            refused = s_.rows().count() == 3 && s_.rows().status(2) == "Not processed";
        });
        s_.ui().convertAction->trigger();
        QVERIFY(waitIdle());
        QVERIFY(refused);
        QCOMPARE(s_.statuses(), QStringList(3, QStringLiteral("Terminated.")));
        QCOMPARE(s_.dialogs.messages.size(), 1);
        QCOMPARE(s_.dialogs.messages[0].text, QStringLiteral("Conversion stopped"));
        QCOMPARE(s_.dialogs.messages[0].icon, QMessageBox::Information);
        QCOMPARE(s_.dialogs.openedUrls.size(), 1);
        QVERIFY(!QFile::exists(out.filePath("tone.mp3")));
        QVERIFY(!QFile::exists(out.filePath("noise (copy).mp3")));
    }

    // "Stop at the first failure" ticked, a failed row ends the batch and
    // rows not started keep their status; unticked, the batch carries on.
    // A warning counts and names the failures with their reasons, which the
    // rows' tooltips keep; the folder opens only after a batch that ran through.
    void failureIsSaidAloud_data() {
        QTest::addColumn<bool>("stopAtFailure");
        QTest::addColumn<QStringList>("statuses");
        QTest::addColumn<QString>("summary");
        QTest::newRow("stop at the first failure")
            << true << QStringList{"Converted.", "Failed.", "Not processed"} << "1 converted";
        QTest::newRow("carry on") << false << QStringList{"Converted.", "Failed.", "Converted."}
                                  << "2 converted";
    }

    void failureIsSaidAloud() {
        QFETCH(bool, stopAtFailure);
        QFETCH(QStringList, statuses);
        QFETCH(QString, summary);
        QTemporaryDir out;
        s_.prepareRun(1, out.path(), 1);
        s_.ui().stopAtFailureCheck->setChecked(stopAtFailure);
        QCOMPARE(s_.window().currentSettings().stopAtFirstFailure, stopAtFailure);
        s_.rows().addFiles({tone_, junk_, tone_});
        s_.ui().convertAction->trigger();
        QVERIFY(waitIdle());
        s_.ui().stopAtFailureCheck->setChecked(true);
        QCOMPARE(s_.statuses(), statuses);
        QCOMPARE(s_.rows().statusTip(1), QString("Not an audio file, or the file is damaged"));
        QCOMPARE(s_.dialogs.messages.size(), 1);
        QVERIFY2(QRegularExpression(summary +
                                    ", 1 failed in 0:\\d\\d\n\njunk.wav: Not an audio file, or "
                                    "the file is damaged$")
                     .match(s_.dialogs.messages[0].text)
                     .hasMatch(),
                 qPrintable(s_.dialogs.messages[0].text));
        QCOMPARE(s_.dialogs.messages[0].icon, QMessageBox::Warning);
        QCOMPARE(s_.dialogs.messages[0].title, QStringLiteral("Sonbridge"));
        QCOMPARE(s_.dialogs.openedUrls.size(), stopAtFailure ? 0 : 1);
    }

    // A relative destination is the home folder's, never the program's
    // folder, and shows in full.
    void relativeDestinationIsHomes() {
        s_.prepareRun(1, "relative out");
        s_.rows().addFiles({tone_});
        s_.ui().startButton->click();
        QVERIFY(waitIdle());
        const QString full = QDir::home().filePath("relative out");
        QCOMPARE(s_.ui().destinationEdit->text(), full);
        QVERIFY(QFile::exists(full + "/tone.mp3"));
        QVERIFY(QDir(full).removeRecursively());
    }

    // The end of a batch reaches the desktop when the window is not the
    // active one, and the taskbar shows the progress: a real receiver of
    // both on a session bus of the test's own (dbus-run-session).
    void desktopHearsOfTheBatch() {
        QDBusConnection bus =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, "notificationServer");
        if (!bus.isConnected()) QSKIP("no session bus: run under dbus-run-session");
        NotificationServer server;
        QVERIFY(bus.registerService("org.freedesktop.Notifications"));
        QVERIFY(bus.registerObject("/org/freedesktop/Notifications", &server,
                                   QDBusConnection::ExportAllSlots));
        QVERIFY(bus.connect({}, {}, "com.canonical.Unity.LauncherEntry", "Update", &server,
                            SLOT(Update(QString, QVariantMap))));
        QWidget elsewhere;
        QTemporaryDir out;
        for (const bool active : {true, false}) {
            QWidget* front = active ? static_cast<QWidget*>(&s_.window()) : &elsewhere;
            front->show();
            front->activateWindow();
            QTRY_COMPARE(s_.window().isActiveWindow(), active);
            s_.prepareRun(1, out.path());
            s_.rows().removeAll();
            s_.rows().addFiles({tone_, tone_});
            server.notifications.clear();
            server.progress.clear();
            s_.ui().startButton->click();
            QVERIFY(waitIdle());
            if (active) {
                QTest::qWait(200);
                QCOMPARE(server.notifications.size(), 0);
                continue;
            }
            QTRY_COMPARE(server.notifications.size(), 1);
            QVERIFY2(QRegularExpression("^2 files converted in 0:\\d\\d$")
                         .match(server.notifications[0])
                         .hasMatch(),
                     qPrintable(server.notifications[0]));
            QTRY_VERIFY(!server.progress.isEmpty() && server.progress.last() == -1);
            QVERIFY(server.progress.size() >= 2 && server.progress.first() >= 0);
        }
        bus.unregisterService("org.freedesktop.Notifications");
        QDBusConnection::disconnectFromBus("notificationServer");
    }

    // Nothing to convert, or nowhere to put it (an empty destination never
    // means the root folder): a warning, and no run.
    void refusedBeforeTheRun_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("destination");
        QTest::addColumn<QString>("warning");
        QTest::newRow("empty list") << 0 << "/tmp"
                                    << "No files to convert";
        QTest::newRow("no destination") << 1 << ""
                                        << "Choose a destination folder";
        QTest::newRow("blank destination") << 1 << " \t "
                                           << "Choose a destination folder";
    }

    void refusedBeforeTheRun() {
        QFETCH(int, rows);
        QFETCH(QString, destination);
        QFETCH(QString, warning);
        s_.prepareRun(1, destination);
        if (rows) s_.rows().addFiles({tone_});
        s_.window().startConversion();
        QCOMPARE(s_.dialogs.messages.size(), 1);
        QCOMPARE(s_.dialogs.messages[0].text, warning);
        QCOMPARE(s_.dialogs.messages[0].icon, QMessageBox::Warning);
        QCOMPARE(s_.dialogs.messages[0].title, QStringLiteral("Sonbridge"));
        QVERIFY(s_.idle());
        QCOMPARE(s_.statuses(), QStringList(rows, "Not processed"));
    }

    // The WAV format is asked once per job, offering the last choice, unless
    // "use for the rest of the batch" was ticked; a cancel fails the row.
    void waveFormatQuestions_data() {
        QTest::addColumn<QList<gui::WaveFormatChoice>>("answers");
        QTest::addColumn<int>("jobs");
        QTest::addColumn<QStringList>("statuses");
        const QByteArray mono8k = pcmFormat(8000, 1, 16);
        const QByteArray stereo = pcmFormat(22050, 2, 16);
        QTest::newRow("each job") << QList<gui::WaveFormatChoice>{{true, mono8k, false},
                                                                  {true, stereo, false},
                                                                  {true, stereo, false}}
                                  << 1 << QStringList(3, "Converted.");
        QTest::newRow("rest of batch") << QList<gui::WaveFormatChoice>{{true, mono8k, true}} << 2
                                       << QStringList(3, "Converted.");
        QTest::newRow("cancelled") << QList<gui::WaveFormatChoice>{{true, mono8k, false}, {}} << 1
                                   << QStringList{"Converted.", "Failed.", "Not processed"};
        // The second job was waiting for its question: no Stop, so not "Terminated.".
        QTest::newRow("cancelled, two at once")
            << QList<gui::WaveFormatChoice>{{}} << 2
            << QStringList{"Failed.", "Not processed", "Not processed"};
    }

    void waveFormatQuestions() {
        QFETCH(QList<gui::WaveFormatChoice>, answers);
        QFETCH(int, jobs);
        QFETCH(QStringList, statuses);
        QTemporaryDir out;
        s_.prepareRun(0, out.path(), jobs);
        for (const gui::WaveFormatChoice& a : answers) s_.dialogs.waveFormatAnswers.enqueue(a);
        s_.rows().addFiles({tone_, tone_, tone_});
        s_.ui().convertAction->trigger();
        QVERIFY(waitIdle());
        QCOMPARE(s_.statuses(), statuses);
        QCOMPARE(s_.dialogs.waveFormatPreselected.size(), answers.size());
        for (int i = 1; i < answers.size(); ++i)
            QCOMPARE(s_.dialogs.waveFormatPreselected[i], answers[i - 1].waveFormatEx);
        if (statuses[0] != "Converted.") return;
        const auto first = fixtures::probe(out.filePath("tone.wav"));
        QCOMPARE(first.sampleRate, 8000);
        QCOMPARE(first.channels, 1);
        if (answers.size() == 3)
            QCOMPARE(fixtures::probe(out.filePath("tone (copy 2).wav")).channels, 2);
    }

    // Last: closing ends the window's batch and reaps its encoders before
    // close() returns.
    // SIGTERM mid-run, as a logout sends it: the run ends, its temporary
    // files go, the settings are saved.
    void terminatedWindowLeavesNoTemporaryFile() {
        QTemporaryDir out;
        s_.prepareRun(2, out.path(), 2);
        s_.rows().addFiles({noise_, noise_});
        QFile::remove(fixtures::settingsFile());
        s_.ui().convertAction->trigger();
        const auto written = [&] { return QDir(out.path()).entryList(QDir::Files | QDir::Hidden); };
        QTRY_VERIFY_WITH_TIMEOUT(encoderChildren() == 2 && written().size() == 2, 20000);
        QCOMPARE(::kill(::getpid(), SIGTERM), 0);
        QTRY_VERIFY(!s_.window().batch());
        QCOMPARE(encoderChildren(), 0);
        QCOMPARE(written(), QStringList());
        QVERIFY(QFile::exists(fixtures::settingsFile()));
        s_.app.reset();
        QVERIFY(s_.start());
    }

    void closingDuringARunLeavesNoEncoder() {
        QTemporaryDir out;
        s_.prepareRun(2, out.path(), 2);
        s_.rows().addFiles({noise_, noise_, noise_});
        int running = 0;
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&] {
            running = encoderChildren();
            if (running > 0) {
                closer.stop();
                s_.window().close();
            }
        });
        closer.start(5);
        s_.ui().convertAction->trigger();
        QVERIFY(QTest::qWaitFor([&] { return !s_.window().isVisible(); }, 60000));
        QVERIFY(running > 0);
        QCOMPARE(encoderChildren(), 0);
        QVERIFY(!s_.window().batch());
        QVERIFY(!s_.statuses().contains("Converted."));
        QVERIFY(s_.dialogs.messages.isEmpty());
        QVERIFY(QFile::exists(fixtures::settingsFile()));
    }
};

GUI_TEST_MAIN(WindowBatchTest)
#include "tst_window_batch.moc"
