// What the window adds for a library: File > "Add folder...", rows that
// remember their folder, the output choices of the encoder settings with
// their live example, and sub-folders recreated in the destination.

#include "gui/EncoderSettingsDialog.h"
#include "support/AudioFixtures.h"
#include "support/gui/WindowFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

class WindowLibraryTest : public QObject {
    Q_OBJECT

    QTemporaryDir media_;
    fixtures::StartedWindow s_;

private slots:
    void initTestCase() { QVERIFY(s_.start()); }

    // A folder added from the menu, the choices made in the dialog (the
    // example follows the pattern and the selected row), then two runs:
    // outputs in their sub-folders, then every row "Skipped.".
    void addFolderAndRecreateSubFolders() {
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
            QVERIFY(QTest::qWaitFor([this] { return s_.idle(); }, 60000));
            QCOMPARE(s_.statuses(), QStringList(2, status));
            QCOMPARE(fixtures::filesBelow(out),
                     (QStringList{"A/Ana - song.mp3", "B/Ana - song.mp3"}));
        }
        const core::Settings kept = s_.window().currentSettings();
        QCOMPARE(kept.existingOutputs, core::ExistingOutput::Skip);
        QCOMPARE(kept.namePattern, QString("{artist} - {name}"));
        QVERIFY(kept.recreateSubFolders);
    }
};

GUI_TEST_MAIN(WindowLibraryTest)
#include "tst_window_library.moc"
