// Batches started from the window: the rows follow the batch's signals,
// the controls go busy and idle, the end is announced (or not), the WAV
// format is asked through the dialogs, a library's folder and output
// choices, and no encoder outlives the window.
// Real files, real lame and oggenc; only the person's answers are scripted.

#include "core/Settings.h"
#include "core/WaveFormat.h"
#include "gui/EncoderSettingsDialog.h"
#include "support/AudioFixtures.h"
#include "support/Processes.h"
#include "support/gui/WindowFixture.h"

#include <QDBusConnection>
#include <QtWidgets>

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

const QString kJunkReason = "Not an audio file, or the file is damaged";

int encoderChildren() {
    int n = 0;
    for (const fixtures::ChildInfo& c : fixtures::children())
        if (c.name == "lame" || c.name == "oggenc") ++n;
    return n;
}

}  // namespace

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
        s_.ui().stopAtFailureCheck->setChecked(true);
    }

    void cleanup() { QCOMPARE(encoderChildren(), 0); }

    // Format, jobs at once, both check boxes, the sources (a path: a copy of
    // the tone in the destination), "Stop at the first failure", Stop pressed
    // at the first start; then every row's status, the box, what stands in
    // the destination and the folder opened (empty: none; "." the
    // destination). The controls are busy during the run; a row added then
    // waits for the next one; a grey box counts as unticked; after a Stop
    // the commands come back but are refused until the run has wound down.
    void batchEnds() {
        using S = QStringList;
        const QString done = "Converted.", waiting = "Not processed", failed = "Failed.",
                      stopped = "Terminated.", files = "^%1 files converted in 0:\\d\\d$",
                      junk = ", 1 failed in 0:\\d\\d\n\njunk.wav: " + kJunkReason + "$";
        // clang-format off
        const std::tuple<int, int, Qt::CheckState, S, bool, bool, S, QString, S, QString> rows[] = {
            {1, 1, Qt::Unchecked, {"tone", "tone", "tone"}, false, false, {done, done, done, waiting}, files.arg(3), {"tone (copy 2).mp3", "tone (copy).mp3", "tone.mp3"}, "."},
            {2, 2, Qt::PartiallyChecked, {"tone", "tone", "tone"}, false, false, {done, done, done, waiting}, files.arg(3), {"tone (copy 2).ogg", "tone (copy).ogg", "tone.ogg"}, ""},
            {1, 2, Qt::Checked, {"a/one.wav", "b/two.wav"}, false, false, {done, done, waiting}, files.arg(2), {"a/one.mp3", "a/one.wav", "b/two.mp3", "b/two.wav"}, "b/"},
            {1, 1, Qt::Unchecked, {"noise", "noise", "tone"}, false, true, {stopped, stopped, stopped, waiting}, "^Conversion stopped$", {}, "."},
            {1, 1, Qt::Unchecked, {"tone", "junk", "tone"}, true, false, {done, failed, waiting, waiting}, "^1 converted" + junk, {"tone.mp3"}, ""},
            {1, 1, Qt::Unchecked, {"tone", "junk", "tone"}, false, false, {done, failed, done, waiting}, "^2 converted" + junk, {"tone (copy).mp3", "tone.mp3"}, "."}};
        // clang-format on
        const QMap<QString, QString> media{{"tone", tone_}, {"noise", noise_}, {"junk", junk_}};
        for (const auto& [format, jobs, boxes, names, stopAtFailure, stop, statuses, message,
                          outputs, opened] : rows) {
            init();
            QTemporaryDir out;
            QStringList sources;
            for (const QString& name : names) {
                sources << media.value(name, out.filePath(name));
                if (!media.contains(name))
                    QVERIFY(QDir().mkpath(QFileInfo(sources.last()).path()) &&
                            QFile::copy(tone_, sources.last()));
            }
            s_.prepareRun(format, out.path(), jobs);
            s_.ui().sameFolderCheck->setCheckState(boxes);
            if (boxes != Qt::Unchecked) s_.ui().openFolderCheck->setCheckState(boxes);
            s_.ui().stopAtFailureCheck->setChecked(stopAtFailure);
            s_.rows().addFiles(sources);
            bool busy = false, refused = !stop;
            onFirstStart([&, stop = stop] {
                const gui::MainWindowUi& u = s_.ui();
                busy =
                    !u.startButton->isEnabled() && u.stopButton->isEnabled() &&
                    !u.outputFormatCombo->isEnabled() && s_.rows().status(0) == "Processing..." &&
                    filesLabel()->text().startsWith(QString("0 of %1 files").arg(sources.size()));
                s_.rows().addFiles({tone_});
                if (!stop) return;
                u.stopButton->click();
                u.convertAction->trigger();
                s_.rows().select(2);
                u.removeAction->trigger();
                u.playAction->trigger();
                refused = u.startButton->isEnabled() && !u.outputFormatCombo->isEnabled() &&
                          s_.rows().count() == 4 && s_.rows().status(2) == waiting;
            });
            s_.ui().startButton->click();
            QVERIFY(waitIdle());
            QVERIFY(busy && refused);
            QCOMPARE(s_.statuses(), statuses);
            if (statuses[1] == failed) QCOMPARE(s_.rows().statusTip(1), kJunkReason);
            QCOMPARE(s_.dialogs.messages.size(), 1);
            QVERIFY2(QRegularExpression(message).match(s_.dialogs.messages[0].text).hasMatch(),
                     qPrintable(s_.dialogs.messages[0].text));
            QCOMPARE(s_.dialogs.messages[0].icon,
                     statuses.contains(failed) ? QMessageBox::Warning : QMessageBox::Information);
            QCOMPARE(fixtures::filesBelow(out.path()), outputs);
            QCOMPARE(s_.dialogs.openedUrls,
                     opened.isEmpty() ? QList<QUrl>()
                                      : QList<QUrl>{QUrl::fromLocalFile(
                                            opened == "." ? out.path() : out.filePath(opened))});
        }
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

    // Rows, destination, the warning: nothing to convert, or nowhere to put
    // it (an empty destination never means the root folder), and no run.
    void refusedBeforeTheRun() {
        for (const auto& [rows, destination, warning] :
             {std::tuple{0, "/tmp", "No files to convert"},
              {1, "", "Choose a destination folder"},
              {1, " \t ", "Choose a destination folder"}}) {
            init();
            s_.prepareRun(1, destination);
            if (rows) s_.rows().addFiles({tone_});
            s_.window().startConversion();
            QCOMPARE(s_.dialogs.messages.size(), 1);
            QCOMPARE(s_.dialogs.messages[0].text, QString(warning));
            QCOMPARE(s_.dialogs.messages[0].icon, QMessageBox::Warning);
            QVERIFY(s_.idle());
            QCOMPARE(s_.statuses(), QStringList(rows, "Not processed"));
        }
    }

    // The WAV format is asked once per job, offering the last choice, unless
    // "use for the rest of the batch" was ticked; a cancel fails the row.
    void waveFormatQuestions() {
        using Answers = QList<gui::WaveFormatChoice>;
        const QByteArray mono8k = pcmFormat(8000, 1, 16), stereo = pcmFormat(22050, 2, 16);
        const QString done = "Converted.", waiting = "Not processed";
        // The second job was waiting for its question: no Stop, so not "Terminated.".
        for (const auto& [answers, jobs, statuses] :
             {std::tuple{
                  Answers{{true, mono8k, false}, {true, stereo, false}, {true, stereo, false}}, 1,
                  QStringList(3, done)},
              {Answers{{true, mono8k, true}}, 2, QStringList(3, done)},
              {Answers{{true, mono8k, false}, {}}, 1, QStringList{done, "Failed.", waiting}},
              {Answers{{}}, 2, QStringList{"Failed.", waiting, waiting}}}) {
            init();
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
            if (statuses[0] != done) continue;
            const auto first = fixtures::probe(out.filePath("tone.wav"));
            QCOMPARE(first.sampleRate, 8000);
            QCOMPARE(first.channels, 1);
            if (answers.size() == 3)
                QCOMPARE(fixtures::probe(out.filePath("tone (copy 2).wav")).channels, 2);
        }
    }

    // A folder added from the menu, the choices made in the dialog (the
    // example follows the pattern and the selected row), then two runs:
    // outputs in their sub-folders, then every row "Skipped.".
    void addFolderAndRecreateSubFolders() {
        const core::Settings before = s_.window().currentSettings();
        const QString library = media_.filePath("library");
        for (const char* name : {"A/song.wav", "B/song.wav"}) {
            QVERIFY(QDir(library).mkpath(QFileInfo(name).path()));
            QVERIFY(!fixtures::make(library, name, 0.5, 44100, 2,
                                    {"-c:a", "pcm_s16le", "-metadata", "artist=Ana"})
                         .isEmpty());
        }
        s_.dialogs.folderAnswers.enqueue(library);
        s_.ui().addFolderAction->trigger();
        QTRY_COMPARE(s_.rows().count(), 2);
        QCOMPARE(s_.rows().addedFrom(1), library);
        s_.rows().select(1);

        const QString out = media_.filePath("out");
        s_.prepareRun(1, out);
        s_.ui().settingsButton->click();
        auto* dialog = s_.window().findChild<gui::EncoderSettingsDialog*>();
        QVERIFY(dialog);
        gui::OutputOptionsBox* box = dialog->outputOptions();
        box->patternEdit()->setText("{artist}/{name");
        QVERIFY(!dialog->okButton()->isEnabled());
        box->patternEdit()->setText("{folder}/{artist} - {name}");
        QCOMPARE(box->example()->text(), QString("Example: B/Ana - song.mp3"));
        box->existingCombo()->setCurrentIndex(1);  // Skip
        box->patternEdit()->setText("{artist} - {name}");
        box->recreateSubFoldersCheck()->setChecked(true);
        dialog->okButton()->click();
        QTRY_VERIFY(s_.window().isEnabled());

        for (const char* status : {"Converted.", "Skipped."}) {
            s_.ui().convertAction->trigger();
            QVERIFY(waitIdle());
            QCOMPARE(s_.statuses(), QStringList(2, status));
            QCOMPARE(fixtures::filesBelow(out),
                     (QStringList{"A/Ana - song.mp3", "B/Ana - song.mp3"}));
        }
        s_.window().showSettings(before);  // the other cases start from the defaults
    }

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

    // Last: closing ends the window's batch and reaps its encoders before
    // close() returns.
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
