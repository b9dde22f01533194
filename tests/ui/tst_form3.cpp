#include "support/EncoderSettings.h"
#include "ui/Form3.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

class TestForm3 : public QObject {
    Q_OBJECT

private:
    // A plain window stands in for the main window.
    std::unique_ptr<QWidget> main_;
    QPointer<QPushButton> mainButton_;

    ui::Form3* Open(app::AppState& state) {
        ui::ShowEncoderSettings(main_.get(), state);
        ui::Form3* dialog = nullptr;
        for (auto* candidate : main_->findChildren<ui::Form3*>("Form3")) {
            if (candidate->isVisible()) dialog = candidate;
        }
        // The window system activates the new window a moment later.
        if (dialog && !QTest::qWaitFor([dialog] { return QApplication::activeWindow() == dialog; }))
            qWarning("the dialog never became the active window");
        return dialog;
    }

    template <typename W>
    static W* Child(QWidget* dialog, const char* name) {
        return dialog->findChild<W*>(name);
    }

    // The dialog is gone and the main window takes input and has the focus again.
    void VerifyClosedAndOwnerRestored(QPointer<ui::Form3> dialog) {
        QTRY_VERIFY(dialog.isNull());
        QVERIFY(main_->isEnabled());
        QVERIFY(mainButton_->isEnabled());
        QTRY_VERIFY(main_->isActiveWindow());
        QTRY_COMPARE(QApplication::focusWidget(), main_.get());
    }

    static void Click(QAbstractButton* button) {
        // A radio button answers only on its indicator and text.
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }

private slots:
    void init() {
        main_ = std::make_unique<QWidget>();
        main_->resize(585, 440);
        mainButton_ = new QPushButton("Settings...", main_.get());
        main_->show();
        main_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main_.get()));
    }
    void cleanup() { main_.reset(); }

    void okStoresTheChoices() {
        app::AppState state = fixtures::EncoderSettings(160, 44100, 1);
        QPointer<ui::Form3> dialog = Open(state);
        QVERIFY(dialog);
        QVERIFY(!dialog->isModal());
        QVERIFY(!main_->isEnabled());
        QVERIFY(!mainButton_->isEnabled());
        QCOMPARE(Child<QComboBox>(dialog, "Combo3")->currentText(), QString("160"));
        QCOMPARE(Child<QComboBox>(dialog, "Combo2")->currentText(), QString("44100"));
        QVERIFY(Child<QRadioButton>(dialog, "Option2")->isChecked());
        const QByteArray folder = qgetenv("SONBRIDGE_TEST_OUTPUT");
        if (!folder.isEmpty())
            QVERIFY(dialog->grab().save(QDir(folder).filePath("form3-settings.png")));

        Child<QComboBox>(dialog, "Combo3")->setCurrentText("96");
        Child<QComboBox>(dialog, "Combo2")->setCurrentText("11025");
        Click(Child<QRadioButton>(dialog, "Option1"));
        Click(Child<QPushButton>(dialog, "Command1"));
        QCOMPARE(state.Bitrate, 96);
        QCOMPARE(state.SampleRate, 11025);
        QCOMPARE(state.Stereo, qint16(0));
        VerifyClosedAndOwnerRestored(dialog);

        // The next opening starts from the stored values; Enter acts as OK.
        dialog = Open(state);
        auto* bitrates = Child<QComboBox>(dialog, "Combo3");
        QCOMPARE(bitrates->currentText(), QString("96"));
        QCOMPARE(Child<QComboBox>(dialog, "Combo2")->currentText(), QString("11025"));
        QVERIFY(Child<QRadioButton>(dialog, "Option1")->isChecked());
        QCOMPARE(QApplication::focusWidget(), bitrates);  // the first stop of the tab order
        QTest::keyClick(bitrates, Qt::Key_Down);          // 96 -> 80
        QTest::keyClick(bitrates, Qt::Key_Return);
        QCOMPARE(state.Bitrate, 80);
        VerifyClosedAndOwnerRestored(dialog);
    }

    // Values no list holds show as empty lists and OK keeps them; any stereo
    // value but 1 shows, and is stored, as mono.
    void okKeepsValuesTheListsDoNotHold() {
        app::AppState state = fixtures::EncoderSettings(150, 44000, 2);
        ui::Form3* dialog = Open(state);
        QCOMPARE(Child<QComboBox>(dialog, "Combo3")->currentIndex(), -1);
        QCOMPARE(Child<QComboBox>(dialog, "Combo2")->currentIndex(), -1);
        QVERIFY(Child<QRadioButton>(dialog, "Option1")->isChecked());
        Click(Child<QPushButton>(dialog, "Command1"));
        QCOMPARE(state.Bitrate, 150);
        QCOMPARE(state.SampleRate, 44000);
        QCOMPARE(state.Stereo, qint16(0));
    }

    void closingWithoutOkChangesNothing_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel") << "cancel";
        QTest::newRow("Esc") << "esc";
        QTest::newRow("close box") << "close";
    }
    void closingWithoutOkChangesNothing() {
        QFETCH(QString, how);
        app::AppState state = fixtures::EncoderSettings(160, 44100, 1);
        QPointer<ui::Form3> dialog = Open(state);
        Child<QComboBox>(dialog, "Combo3")->setCurrentText("320");
        Child<QComboBox>(dialog, "Combo2")->setCurrentText("8000");
        Child<QRadioButton>(dialog, "Option1")->setChecked(true);
        if (how == "cancel") {
            Click(Child<QPushButton>(dialog, "Command2"));
        } else if (how == "esc") {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        } else {
            QVERIFY(dialog->close());  // what the window's close box does
        }
        QCOMPARE(state.Bitrate, 160);
        QCOMPARE(state.SampleRate, 44100);
        QCOMPARE(state.Stereo, qint16(1));
        VerifyClosedAndOwnerRestored(dialog);
    }
};

QTEST_MAIN(TestForm3)
#include "tst_form3.moc"
