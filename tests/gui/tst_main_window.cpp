// What the main window adds around the core: start-up and the settings it
// shows and saves, the encoder settings dialog, adding files in bulk, and
// previews.

#include "core/Settings.h"
#include "gui/EncoderSettingsDialog.h"
#include "support/AudioFixtures.h"
#include "support/gui/WindowFixture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>

using fixtures::StartedWindow;

namespace {

QString iniValue(const QString& key) {
    return core::readIniValue(QStringLiteral("Main"), key, fixtures::settingsFile());
}

void writeSettings(const QByteArray& text) {
    QDir().mkpath(fixtures::appDataFolder());
    QFile f(fixtures::settingsFile());
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
}

QString makeFile(const QString& folder, const QString& name, qint64 size) {
    const QString path = folder + QLatin1Char('/') + name;
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(QByteArray(size, 'x'));
    return path;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir files_;

private slots:
    void init() { QDir(fixtures::appDataFolder()).removeRecursively(); }

    void firstRunWritesTheDefaultsAndShowsThem() {
        StartedWindow s;
        QVERIFY(s.start());
        QVERIFY(s.dialogs.messages.isEmpty());
        const QString output = fixtures::appDataFolder() + QStringLiteral("/Output");
        QVERIFY(QFileInfo(output).isDir());
        const QStringList keys{"0", "1", "2", "3", "4", "5", "6"};
        const QStringList values{"1", "1", output, "160", "1", "1", "44100"};
        for (int i = 0; i < keys.size(); ++i) QCOMPARE(iniValue(keys[i]), values[i]);
        QCOMPARE(iniValue("7").toInt(), core::defaultSimultaneousConversions());

        QVERIFY(s.window().isVisible());
        QCOMPARE(s.window().windowTitle(), QStringLiteral("Quillmoor Sonbridge"));
        QCOMPARE(s.ui().outputFormatCombo->currentText(), QStringLiteral("MP3"));
        QCOMPARE(s.ui().sameFolderCheck->checkState(), Qt::Checked);
        QCOMPARE(s.ui().openFolderCheck->checkState(), Qt::Checked);
        QCOMPARE(s.ui().destinationEdit->text(), output);
        QVERIFY(!s.ui().destinationPanel->isVisible());
        QVERIFY(s.ui().addFilesHint->isVisible());
        for (QAction* a :
             {s.ui().playAction, s.ui().convertAction, s.ui().removeAction, s.ui().stopAction})
            QVERIFY2(!a->isEnabled(), qPrintable(a->text()));
        QVERIFY(s.ui().addFilesAction->isEnabled());
    }

    // What the file holds is shown; what the controls hold at close is
    // saved, every other line of the file kept.
    void savedSettingsAreShownAndSavedBack_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Qt::CheckState>("sameFolder");
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("savedFormat");
        QTest::newRow("grey box, OGG")
            << QByteArray(
                   "; kept\n[Other]\na=b\n[Main]\n0=2\n1=0\n2=/srv/music "
                   "out\n3=96\n4=2\n5=0\n6=22050\n7=3\n")
            << Qt::PartiallyChecked << 2 << "2";
        QTest::newRow("unknown format")
            << QByteArray(
                   "; kept\n[Other]\na=b\n[Main]\n0=0\n1=0\n2=/srv/music "
                   "out\n3=96\n4=7\n5=0\n6=22050\n7=3\n")
            << Qt::Unchecked << -1 << "-1";
    }

    void savedSettingsAreShownAndSavedBack() {
        QFETCH(QByteArray, file);
        QFETCH(Qt::CheckState, sameFolder);
        QFETCH(int, format);
        QFETCH(QString, savedFormat);
        writeSettings(file);
        StartedWindow s;
        QVERIFY(s.start());
        QCOMPARE(s.ui().sameFolderCheck->checkState(), sameFolder);
        QVERIFY(s.ui().destinationPanel->isVisible());  // grey counts as unticked
        QCOMPARE(s.ui().openFolderCheck->checkState(), Qt::Unchecked);
        QCOMPARE(s.ui().destinationEdit->text(), QStringLiteral("/srv/music out"));
        QCOMPARE(s.ui().outputFormatCombo->currentIndex(), format);
        const core::Settings shown = s.window().currentSettings();
        QCOMPARE(shown.encoder.bitrate, 96);
        QCOMPARE(shown.encoder.sampleRate, 22050);
        QVERIFY(!shown.encoder.stereo);
        QCOMPARE(shown.simultaneousConversions, 3);

        s.ui().openFolderCheck->setCheckState(Qt::Checked);
        s.ui().destinationEdit->setText(QStringLiteral("/tmp/elsewhere"));
        s.ui().quitAction->trigger();  // the same road as the close box
        QVERIFY(!s.window().isVisible());
        QVERIFY(!s.window().batch());
        QCOMPARE(iniValue("0"), QString::number(sameFolder == Qt::Checked     ? 1
                                                : sameFolder == Qt::Unchecked ? 0
                                                                              : 2));
        QCOMPARE(iniValue("1"), QStringLiteral("1"));
        QCOMPARE(iniValue("2"), QStringLiteral("/tmp/elsewhere"));
        QCOMPARE(iniValue("4"), savedFormat);
        QCOMPARE(iniValue("6"), QStringLiteral("22050"));
        QCOMPARE(iniValue("7"), QStringLiteral("3"));
        QCOMPARE(core::readIniValue("Other", "a", fixtures::settingsFile()), QStringLiteral("b"));
    }

    void unusableSoundDeviceEndsStartWithoutSaving() {
        const QByteArray driver = qgetenv("SDL_AUDIODRIVER");
        qputenv("SDL_AUDIODRIVER", "no-such-driver");
        StartedWindow s;
        const bool started = s.start();
        qputenv("SDL_AUDIODRIVER", driver);
        QVERIFY(!started);
        QCOMPARE(s.dialogs.messages.size(), 1);
        QCOMPARE(s.dialogs.messages[0].text, QStringLiteral("Can't initialize device"));
        QVERIFY(!QFile::exists(fixtures::settingsFile()));
    }

    // OK stores every choice, including the new simultaneous conversions;
    // Cancel and Esc store nothing. The file is written only at close.
    void encoderSettingsDialog_data() {
        QTest::addColumn<QString>("close");
        QTest::addColumn<bool>("stored");
        QTest::newRow("OK") << "ok" << true;
        QTest::newRow("Cancel") << "cancel" << false;
        QTest::newRow("Esc") << "esc" << false;
    }

    void encoderSettingsDialog() {
        QFETCH(QString, close);
        QFETCH(bool, stored);
        StartedWindow s;
        QVERIFY(s.start());
        s.ui().settingsButton->click();
        QVERIFY(!s.window().isEnabled());
        auto* dialog = s.window().findChild<gui::EncoderSettingsDialog*>("encoderSettingsDialog");
        QVERIFY(dialog);
        QCOMPARE(dialog->bitrateCombo()->currentText(), QStringLiteral("160"));
        QCOMPARE(dialog->sampleRateCombo()->currentText(), QStringLiteral("44100"));
        QVERIFY(dialog->stereoOption()->isChecked());
        QCOMPARE(dialog->simultaneousCombo()->currentText(),
                 QString::number(core::defaultSimultaneousConversions()));
        QCOMPARE(dialog->simultaneousCombo()->count(), 16);

        dialog->bitrateCombo()->setCurrentText(QStringLiteral("96"));
        dialog->sampleRateCombo()->setCurrentText(QStringLiteral("22050"));
        dialog->monoOption()->setChecked(true);
        dialog->simultaneousCombo()->setCurrentText(QStringLiteral("5"));
        if (close == "ok")
            dialog->okButton()->click();
        else if (close == "cancel")
            dialog->cancelButton()->click();
        else
            QTest::keyClick(dialog, Qt::Key_Escape);
        QTRY_VERIFY(s.window().isEnabled());
        QCOMPARE(iniValue("3"), QStringLiteral("160"));  // nothing on disk yet

        const core::Settings now = s.window().currentSettings();
        QCOMPARE(now.encoder.bitrate, stored ? 96 : 160);
        QCOMPARE(now.encoder.sampleRate, stored ? 22050 : 44100);
        QCOMPARE(now.encoder.stereo, !stored);
        QCOMPARE(now.simultaneousConversions, stored ? 5 : core::defaultSimultaneousConversions());
        s.window().close();
        QCOMPARE(iniValue("3"), stored ? QStringLiteral("96") : QStringLiteral("160"));
        QCOMPARE(iniValue("7"),
                 QString::number(stored ? 5 : core::defaultSimultaneousConversions()));
    }

    // A drop of 10,000 files goes in at once, each row with its size and
    // status; the commands that need rows follow without a polling delay.
    void dropOfTenThousandFilesIsQuick() {
        StartedWindow s;
        QVERIFY(s.start());
        QTemporaryDir many;
        QList<QUrl> urls;
        for (int i = 0; i < 10000; ++i)
            urls << QUrl::fromLocalFile(makeFile(many.path(), QString("%1.wav").arg(i), 1 + i % 3));
        urls.insert(5000, QUrl::fromLocalFile(makeFile(many.path(), "empty.wav", 0)));
        urls.insert(0, QUrl::fromLocalFile(many.path()));  // a folder: not added
        QMimeData data;
        data.setUrls(urls);

        // The event loop is held only for the drop itself.
        QElapsedTimer clock;
        clock.start();
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(s.ui().formatCaption, &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(s.ui().formatCaption, &drop);
        QVERIFY(enter.isAccepted() && drop.isAccepted());
        const qint64 elapsed = clock.elapsed();
        qInfo("10,000 files added in %lld ms", elapsed);
        QVERIFY2(elapsed < 5000, qPrintable(QString::number(elapsed)));

        QCOMPARE(s.rows().count(), 10000);
        QCOMPARE(s.rows().path(9999), many.filePath("9999.wav"));
        QCOMPARE(s.rows().sizeText(5000), QStringLiteral("3"));
        QCOMPARE(s.rows().status(4999), QStringLiteral("Not processed"));
        QVERIFY(!s.ui().addFilesHint->isVisible());
        QVERIFY(s.ui().convertAction->isEnabled());
        QVERIFY(s.ui().startButton->isEnabled());

        // The window is usable at once: the view repaints and Remove all empties it.
        QVERIFY(!s.window().grab().isNull());
        clock.restart();
        s.ui().removeAllAction->trigger();
        QVERIFY(clock.elapsed() < 2000);
        QCOMPARE(s.rows().count(), 0);
        QVERIFY(s.ui().addFilesHint->isVisible());
        QVERIFY(!s.ui().startButton->isEnabled());
    }

    // The buttons run their menu actions: Add asks the Open dialog, Remove
    // takes only the selected row, with nothing selected nothing.
    void buttonsShareTheirMenuCommands() {
        StartedWindow s;
        QVERIFY(s.start());
        const QStringList chosen{makeFile(files_.path(), "a.wav", 10),
                                 makeFile(files_.path(), "b.mp3", 2000),
                                 makeFile(files_.path(), "c.ogg", 0)};
        s.dialogs.openAnswers.enqueue(chosen);
        QTest::mouseClick(s.ui().addButton, Qt::LeftButton);
        QCOMPARE(s.dialogs.openTitles, QStringList{"Select the file(s) to convert"});
        QCOMPARE(s.rows().count(), 2);
        QCOMPARE(s.rows().sizeText(1), QStringLiteral("1 Kb"));

        s.ui().sourceList->clearSelection();
        QTest::mouseClick(s.ui().removeButton, Qt::LeftButton);
        QCOMPARE(s.rows().count(), 2);
        s.rows().select(0);
        QTest::mouseClick(s.ui().removeButton, Qt::LeftButton);
        QCOMPARE(s.rows().count(), 1);
        QCOMPARE(s.rows().path(0), chosen[1]);
    }

    // Play shows "Playing..." and locks the list; the end of the file is
    // noticed and the row's status cell is left empty. A file that can't be
    // played changes nothing.
    void preview_data() {
        QTest::addColumn<bool>("playable");
        QTest::newRow("half a second") << true;
        QTest::newRow("not audio") << false;
    }

    void preview() {
        QFETCH(bool, playable);
        StartedWindow s;
        QVERIFY(s.start());
        const QString path = playable ? fixtures::makeWav(files_.path(), "short.wav", 0.5, 44100, 2)
                                      : makeFile(files_.path(), "junk.wav", 3000);
        QVERIFY(!path.isEmpty());
        QCOMPARE(s.rows().addFiles({path}), 1);
        s.rows().select(0);
        QElapsedTimer clock;
        clock.start();
        s.ui().playButton->click();
        if (!playable) {
            QCOMPARE(s.rows().status(0), QStringLiteral("Not processed"));
            QVERIFY(s.ui().playAction->isEnabled() && !s.ui().stopAction->isEnabled());
            QVERIFY(s.dialogs.messages.isEmpty());
            return;
        }
        QCOMPARE(s.rows().status(0), QStringLiteral("Playing..."));
        QVERIFY(s.ui().stopButton->isEnabled());
        QVERIFY(!s.ui().sourceList->isEnabled() && !s.ui().startButton->isEnabled());
        QVERIFY(s.ui().outputFormatCombo->isEnabled() && s.ui().settingsButton->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(s.ui().playAction->isEnabled(), 5000);
        QVERIFY2(clock.elapsed() >= 400, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(s.rows().status(0), QString());
        QVERIFY(!s.ui().stopAction->isEnabled() && s.ui().sourceList->isEnabled());
    }
};

GUI_TEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
