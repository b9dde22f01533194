// What the main window adds around the core: start-up and the settings it
// shows and saves, the encoder settings dialog, adding files in bulk, and
// previews.

#include "core/Settings.h"
#include "gui/EncoderSettingsDialog.h"
#include "gui/FormatChoicesBox.h"
#include "support/AudioFixtures.h"
#include "support/gui/WindowFixture.h"

#include <QtWidgets>

using fixtures::StartedWindow;

namespace {

QString iniValue(const QString& key) {
    return core::readIniValue(QStringLiteral("Main"), key, fixtures::settingsFile());
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir files_;

private slots:
    void init() { QDir(fixtures::appDataFolder()).removeRecursively(); }

    // The first run writes the defaults (their bytes are the core's test),
    // makes the output folder and shows them; an idle window runs no timer.
    void firstRunWritesTheDefaultsAndShowsThem() {
        StartedWindow s;
        QVERIFY(s.start());
        QVERIFY(s.dialogs.messages.isEmpty() && s.window().isVisible());
        const QString output = fixtures::appDataFolder() + QStringLiteral("/Output");
        QVERIFY(QFileInfo(output).isDir());
        QCOMPARE(iniValue("2"), output);
        QCOMPARE(s.window().currentSettings().formatIndex, 1);
        QCOMPARE(s.ui().destinationEdit->text(), output);
        QVERIFY(!s.ui().destinationPanel->isVisible());  // "same folder" ticked
        QCOMPARE(fixtures::activeTimers(s.window()), 0);
    }

    // What the file holds (a grey box and OGG, or an unticked box and a
    // format there is not) is shown; what the controls hold at close is
    // saved, every other line of the file kept; the window's place comes back.
    void savedSettingsAreShownAndSavedBack() {
        for (const auto& [sameFolder, format] :
             {std::pair{Qt::PartiallyChecked, 2}, {Qt::Unchecked, -1}}) {
            init();
            const int box = sameFolder == Qt::Unchecked ? 0 : 2;
            QVERIFY(fixtures::writeFile(fixtures::settingsFile(),
                                        QString("; kept\n[Other]\na=b\n[Main]\n0=%1\n1=0\n2=/srv/"
                                                "music out\n3=96\n4=%2\n5=0\n6=22050\n7=3\n")
                                            .arg(box)
                                            .arg(format < 0 ? 8 : format)
                                            .toUtf8()));
            StartedWindow s;
            QVERIFY(s.start());
            QCOMPARE(s.ui().sameFolderCheck->checkState(), sameFolder);
            QVERIFY(s.ui().destinationPanel->isVisible());  // grey counts as unticked
            QCOMPARE(s.ui().openFolderCheck->checkState(), Qt::Unchecked);
            QCOMPARE(s.ui().destinationEdit->text(), QStringLiteral("/srv/music out"));
            QCOMPARE(s.ui().outputFormatCombo->currentIndex(), format);

            s.ui().openFolderCheck->setCheckState(Qt::Checked);
            s.ui().destinationEdit->setText(QStringLiteral("/tmp/elsewhere"));
            s.window().setGeometry(40, 30, 700, 520);
            s.ui().quitAction->trigger();  // the same road as the close box
            QVERIFY(!s.window().isVisible());
            QVERIFY(!s.window().batch());
            QCOMPARE(iniValue("0"), QString::number(box));
            QCOMPARE(iniValue("1"), QStringLiteral("1"));
            QCOMPARE(iniValue("2"), QStringLiteral("/tmp/elsewhere"));
            QCOMPARE(iniValue("4"), QString::number(format));
            QCOMPARE(iniValue("6"), QStringLiteral("22050"));  // the encoder's choices too
            QCOMPARE(core::readIniValue("Other", "a", fixtures::settingsFile()),
                     QStringLiteral("b"));
            s.app.reset();  // the sound device opens once at a time
            StartedWindow again;
            QVERIFY(again.start());
            QCOMPARE(again.window().geometry(), QRect(40, 30, 700, 520));
        }
    }

    // Converting needs no sound device: without one the window opens and
    // converts, and only Play is unavailable, saying why.
    void noSoundDeviceStillConverts() {
        const QByteArray driver = qgetenv("SDL_AUDIODRIVER");
        qputenv("SDL_AUDIODRIVER", "no-such-driver");
        StartedWindow s;
        const bool started = s.start();
        qputenv("SDL_AUDIODRIVER", driver);
        QVERIFY(started);
        QVERIFY(s.dialogs.messages.isEmpty());
        s.prepareRun(1, files_.filePath("no-device"));
        s.rows().addFiles({fixtures::makeWav(files_.path(), "nodevice.wav", 0.5, 44100, 2)});
        s.rows().select(0);
        QVERIFY(!s.ui().playAction->isEnabled());
        QCOMPARE(s.ui().playButton->toolTip(), QStringLiteral("No sound output device"));
        s.ui().startButton->click();
        QTRY_VERIFY_WITH_TIMEOUT(s.idle(), 30000);
        QCOMPARE(s.statuses(), QStringList{"Converted."});
    }

    // --help and --version print and end without a window; help that can't
    // be opened says so.
    void commandLineAndShell() {
        for (const auto& [option, start] :
             {std::pair{"--help", "Usage: sonbridge [FILE|FOLDER]..."},
              {"--version", "sonbridge " PROJECT_VERSION "\n"}}) {
            QProcess program;
            program.start(SONBRIDGE_PATH, {option});
            QVERIFY(program.waitForFinished(10000));
            QCOMPARE(program.exitCode(), 0);
            QVERIFY2(program.readAllStandardOutput().startsWith(start), option);
        }
        StartedWindow s;
        QVERIFY(s.start());
        s.dialogs.openUrlSucceeds = false;
        s.ui().contentsAction->trigger();
        QCOMPARE(s.dialogs.messages.size(), 1);
        QVERIFY(s.dialogs.messages[0].text.startsWith("The manual "));
    }

    // OK stores every choice, including the new simultaneous conversions;
    // Cancel and Esc store nothing. The file is written only at close.
    void encoderSettingsDialog_data() {
        QTest::addColumn<QString>("close");
        QTest::addColumn<bool>("stored");
        QTest::newRow("OK") << "ok" << true;
        QTest::newRow("Cancel") << "cancel" << false;
        QTest::newRow("Esc") << "esc" << false;
        QTest::newRow("Enter") << "enter" << true;
        QTest::newRow("Enter on a focused Cancel") << "enter on cancel" << false;
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
        gui::FormatChoicesBox* box = dialog->formatChoices();
        QCOMPARE(box->numberCombo()->currentText(), QStringLiteral("160"));
        QCOMPARE(box->sampleRateCombo()->currentText(), QStringLiteral("44100"));
        QVERIFY(box->stereoOption()->isChecked());
        QCOMPARE(dialog->simultaneousCombo()->currentText(),
                 QString::number(core::defaultSimultaneousConversions()));

        box->numberCombo()->setCurrentText(QStringLiteral("256"));
        box->sampleRateCombo()->setCurrentText(QStringLiteral("22050"));
        box->monoOption()->setChecked(true);
        // MPEG-2 at 22050 Hz ends at 160 kbps.
        QCOMPARE(box->adjustmentNote()->text(), QStringLiteral("Adjusted: MP3 to 160 kbps"));
        dialog->simultaneousCombo()->setCurrentText(QStringLiteral("5"));
        dialog->copyTagsCheck()->setChecked(false);
        if (close == "ok")
            dialog->okButton()->click();
        else if (close == "cancel")
            dialog->cancelButton()->click();
        else if (close == "esc")
            QTest::keyClick(dialog, Qt::Key_Escape);
        else if (close == "enter")
            QTest::keyClick(box->monoOption(), Qt::Key_Return);
        else
            QTest::keyClick(dialog->cancelButton(), Qt::Key_Return);
        QTRY_VERIFY(s.window().isEnabled());
        QCOMPARE(iniValue("3"), QStringLiteral("160"));  // nothing on disk yet

        const core::Settings now = s.window().currentSettings();
        QCOMPARE(now.encoder.bitrate, stored ? 256 : 160);
        QCOMPARE(now.encoder.sampleRate, stored ? 22050 : 44100);
        QCOMPARE(now.encoder.stereo, !stored);
        QCOMPARE(now.copyTags, !stored);
        QCOMPARE(now.simultaneousConversions, stored ? 5 : core::defaultSimultaneousConversions());
        s.window().close();
        QCOMPARE(iniValue("3"), stored ? QStringLiteral("256") : QStringLiteral("160"));
        QCOMPARE(iniValue("7"),
                 QString::number(stored ? 5 : core::defaultSimultaneousConversions()));
    }

    // Each format's mode and number are its own, kept across runs, and the
    // source's rate and channels can be asked for; the choices shown are
    // those of the format picked in the window.
    void eachFormatKeepsItsChoices() {
        struct Row {
            int format;
            QString mode;  // empty: the format's only mode
            int number;
            QString key, value;  // where the number is kept
        };
        const Row rows[] = {{1, "Variable bitrate", 4, "Mp3Quality", "4"},
                            {2, "Quality", -1, "OggQuality", "-1"},
                            {3, "", 8, "FlacCompression", "8"},
                            {4, "", 96, "OpusBitrate", "96"},
                            {5, "", 256, "AacBitrate", "256"}};
        // A closed dialog is deleted later: only the one just opened counts.
        const auto openDialog = [](StartedWindow& s, int format) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            s.ui().outputFormatCombo->setCurrentIndex(format);
            s.ui().settingsButton->click();
            auto* d = s.window().findChild<gui::EncoderSettingsDialog*>("encoderSettingsDialog");
            return d ? d->formatChoices() : nullptr;
        };
        {
            StartedWindow s;
            QVERIFY(s.start());
            for (const Row& row : rows) {
                gui::FormatChoicesBox* box = openDialog(s, row.format);
                QVERIFY(box);
                if (!row.mode.isEmpty()) box->modeCombo()->setCurrentText(row.mode);
                QVERIFY(box->numberSpin()->isVisibleTo(box));
                box->numberSpin()->setValue(row.number);
                box->sampleRateCombo()->setCurrentIndex(0);
                box->sourceChannelsOption()->setChecked(true);
                qobject_cast<gui::EncoderSettingsDialog*>(box->window())->okButton()->click();
                QTRY_VERIFY(s.window().isEnabled());
            }
            s.window().close();
        }
        for (const Row& row : rows) QCOMPARE(iniValue(row.key), row.value);
        QCOMPARE(iniValue("Mp3Mode"), QStringLiteral("vbr"));
        QCOMPARE(iniValue("OggMode"), QStringLiteral("quality"));
        QCOMPARE(iniValue("3"), QStringLiteral("160"));  // the fixed bitrate is untouched
        QCOMPARE(iniValue("5"), QStringLiteral("2"));
        QCOMPARE(iniValue("6"), QStringLiteral("0"));

        StartedWindow s;
        QVERIFY(s.start());
        for (const Row& row : rows) {
            gui::FormatChoicesBox* box = openDialog(s, row.format);
            QVERIFY(box);
            if (!row.mode.isEmpty()) QCOMPARE(box->modeCombo()->currentText(), row.mode);
            QCOMPARE(box->numberSpin()->value(), row.number);
            QCOMPARE(box->sampleRateCombo()->currentText(), QStringLiteral("Same as source"));
            QVERIFY(box->sourceChannelsOption()->isChecked());
            // Back to the fixed bitrate: its own number, not the quality's.
            if (row.format == 1) {
                box->modeCombo()->setCurrentIndex(0);
                QCOMPARE(box->numberCombo()->currentText(), QStringLiteral("160"));
            }
            qobject_cast<gui::EncoderSettingsDialog*>(box->window())->cancelButton()->click();
            QTRY_VERIFY(s.window().isEnabled());
        }
    }

    // While either dialog is open, the disabled main window refuses the
    // window manager's close; the dialog's own close still works.
    void closeIsRefusedUnderADialog() {
        StartedWindow s;
        QVERIFY(s.start());
        for (QObject* opener :
             std::initializer_list<QObject*>{s.ui().settingsButton, s.ui().aboutAction}) {
            QMetaObject::invokeMethod(opener, opener == s.ui().aboutAction ? "trigger" : "click");
            auto* open = s.window().findChild<QDialog*>();
            QVERIFY(open && !s.window().isEnabled());
            QVERIFY(!s.window().windowHandle()->close());
            QVERIFY(s.window().isVisible() && s.window().batch());
            open->close();
            QTRY_VERIFY(s.window().isEnabled() && !s.window().findChild<QDialog*>());
        }
        QVERIFY(s.window().windowHandle()->close());
        QVERIFY(!s.window().batch());
    }

    // A folder, named on the command line or dropped, brings the audio files
    // below it in path order and nothing else; dropped on the destination it
    // becomes the destination. A relative name is the start folder's; files
    // named that can't be added are named in one message.
    void foldersAndCommandLine() {
        QTemporaryDir tree;
        const QStringList audio{fixtures::touch(tree.filePath("B.FLAC")),
                                fixtures::touch(tree.filePath("sub b.wav")),
                                fixtures::touch(tree.filePath("sub/a.mp3"))};
        for (const char* other : {"notes.txt", ".hidden/c.wav", ".d.wav"})
            fixtures::touch(tree.filePath(other));
        fixtures::touch(tree.filePath("empty.ogg"), 0);
        const QString single = fixtures::touch(files_.filePath("song.opus"));
        const QString empty = fixtures::touch(files_.filePath("empty.wav"), 0);
        QDir::setCurrent(files_.path());
        StartedWindow s;
        QVERIFY(s.start({"song.opus", tree.path(), "/nonexistent/gone.mp3", empty}));
        QTRY_COMPARE(s.paths(), QStringList{single} + audio);
        QCOMPARE(s.dialogs.messages.size(), 1);
        QCOMPARE(s.dialogs.messages[0].text,
                 "These files can't be added: they are missing, empty or can't be read.\n\n"
                 "/nonexistent/gone.mp3\n" +
                     empty);

        s.rows().removeAll();
        QVERIFY(fixtures::dropPaths(s.ui().formatCaption, {tree.path()}));
        QTRY_COMPARE(s.paths(), audio);
        QCOMPARE(s.rows().addedFrom(0), tree.path());

        s.rows().removeAll();
        s.ui().sameFolderCheck->setCheckState(Qt::PartiallyChecked);  // grey: the field shows
        QVERIFY(fixtures::dropPaths(s.ui().destinationEdit, {tree.path(), single}));
        QCOMPARE(s.ui().destinationEdit->text(), tree.path());
        QCOMPARE(s.ui().sameFolderCheck->checkState(), Qt::Unchecked);
        QCOMPARE(s.paths(), QStringList{single});
    }

    // A drop of 10,000 files goes in at once, each row with its size and
    // status, titles and lengths following in the background; the commands
    // that need rows follow without a polling delay.
    void dropOfTenThousandFilesIsQuick() {
        StartedWindow s;
        QVERIFY(s.start());
        QTemporaryDir many;
        QStringList paths;
        for (int i = 0; i < 10000; ++i)
            paths << fixtures::touch(many.filePath(QString("%1.wav").arg(i)), 1 + i % 3);
        paths.insert(5000, fixtures::touch(many.filePath("empty.wav"), 0));
        const QString tagged = many.filePath("tagged.flac");  // its title and length fill in later
        QVERIFY(fixtures::makeFrom(many.path(), "tagged.flac", "sine=duration=61",
                                   {"-metadata", "artist=Ana", "-metadata", "title=Lullaby"}) ==
                tagged);
        paths.prepend(tagged);

        // The event loop is held only for the drop itself.
        QElapsedTimer clock;
        clock.start();
        QVERIFY(fixtures::dropPaths(s.ui().formatCaption, paths));
        const qint64 elapsed = clock.elapsed();
        qInfo("10,000 files added in %lld ms", elapsed);
        QVERIFY2(elapsed < 5000, qPrintable(QString::number(elapsed)));

        QCOMPARE(s.rows().count(), 10001);
        QCOMPARE(s.rows().path(10000), many.filePath("9999.wav"));
        QCOMPARE(s.rows().sizeText(5001), QStringLiteral("3"));
        QCOMPARE(s.rows().status(5000), QStringLiteral("Not processed"));
        const QTreeWidgetItem* first = s.ui().sourceList->topLevelItem(0);
        QTRY_COMPARE(first->text(gui::kTitleColumn), QStringLiteral("Ana - Lullaby"));
        QCOMPARE(first->text(gui::kLengthColumn), QStringLiteral("1:01"));
        QVERIFY(s.ui().convertAction->isEnabled());

        // The window is usable at once: the view repaints and Remove all empties it.
        QVERIFY(!s.window().grab().isNull());
        clock.restart();
        s.ui().removeAllAction->trigger();
        QVERIFY(clock.elapsed() < 2000);
        QCOMPARE(s.rows().count(), 0);
    }

    // The buttons run their menu actions: Add asks the Open dialog (opened
    // at home, then where it was last used). Clicks with Ctrl select several
    // rows, the Delete key removes them and selects none, so a second Remove
    // takes nothing; Ctrl+A selects every row.
    void buttonsShareTheirMenuCommands() {
        StartedWindow s;
        QVERIFY(s.start());
        const QStringList chosen{fixtures::touch(files_.filePath("a.wav")),
                                 fixtures::touch(files_.filePath("b.mp3"), 2000),
                                 fixtures::touch(files_.filePath("c.ogg"), 0),
                                 fixtures::touch(files_.filePath("d.wav")),
                                 fixtures::touch(files_.filePath("e.wav"))};
        s.dialogs.openAnswers.enqueue(chosen);
        QTest::mouseClick(s.ui().addButton, Qt::LeftButton);
        QCOMPARE(s.rows().count(), 4);
        QCOMPARE(s.rows().sizeText(1), QStringLiteral("1 Kb"));

        QTreeWidget* list = s.ui().sourceList;
        QVERIFY(QTest::qWaitForWindowExposed(&s.window()));
        list->clearSelection();
        QTest::mouseClick(s.ui().removeButton, Qt::LeftButton);
        QCOMPARE(s.rows().count(), 4);
        for (const auto& [row, keys] : {std::pair{0, Qt::NoModifier}, {2, Qt::ControlModifier}})
            QTest::mouseClick(list->viewport(), Qt::LeftButton, keys,
                              list->visualItemRect(list->topLevelItem(row)).center());
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(s.paths(), (QStringList{chosen[1], chosen[4]}));
        QCOMPARE(s.rows().selectedRow(), -1);
        QTest::mouseClick(s.ui().removeButton, Qt::LeftButton);
        QCOMPARE(s.rows().count(), 2);
        QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
        s.ui().sameFolderCheck->setCheckState(Qt::Unchecked);
        QTest::keyClick(s.ui().destinationEdit, Qt::Key_Delete);  // the text's own key there
        QCOMPARE(s.rows().count(), 2);
        QTest::mouseClick(s.ui().removeButton, Qt::LeftButton);
        QCOMPARE(s.rows().count(), 0);

        s.ui().contextAddAction->trigger();  // cancelled
        QCOMPARE(s.dialogs.openFolders, QStringList({QDir::homePath(), files_.path()}));
    }

    // Play shows "Playing..." and locks the list's commands; the end of the file is
    // noticed by a timer that runs only then, and the row shows its status
    // again. A file that can't be played changes nothing.
    void preview() {
        for (const bool playable : {false, true}) {
            StartedWindow s;
            QVERIFY(s.start());
            const QString path = playable
                                     ? fixtures::makeWav(files_.path(), "short.wav", 0.5, 44100, 2)
                                     : fixtures::touch(files_.filePath("junk.wav"), 3000);
            QVERIFY(!path.isEmpty());
            QCOMPARE(s.rows().addFiles({path}), 1);
            s.rows().setStatus(0, QStringLiteral("Failed."), QStringLiteral("why"));
            s.rows().select(0);
            QElapsedTimer clock;
            clock.start();
            s.ui().playButton->click();
            if (!playable) {
                QCOMPARE(s.rows().status(0), QStringLiteral("Failed."));
                QVERIFY(s.ui().playAction->isEnabled() && !s.ui().stopAction->isEnabled());
                QVERIFY(s.dialogs.messages.isEmpty());
                continue;
            }
            QCOMPARE(s.rows().status(0), QStringLiteral("Playing..."));
            QVERIFY(s.ui().stopButton->isEnabled());
            QVERIFY(!s.ui().removeAction->isEnabled() && !s.ui().startButton->isEnabled());
            QVERIFY(fixtures::activeTimers(s.window()) > 0);
            QTRY_VERIFY_WITH_TIMEOUT(s.ui().playAction->isEnabled(), 5000);
            QVERIFY2(clock.elapsed() >= 400, qPrintable(QString::number(clock.elapsed())));
            QCOMPARE(s.rows().status(0), QStringLiteral("Failed."));
            QCOMPARE(s.rows().statusTip(0), QStringLiteral("why"));
            QVERIFY(!s.ui().stopAction->isEnabled() && s.ui().sourceList->isEnabled());
            QCOMPARE(fixtures::activeTimers(s.window()), 0);
        }
    }
};

GUI_TEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
