#include "ui/Form3.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

app::AppState Values(qint32 bitrate, qint32 sampleRate, qint16 stereo) {
    app::AppState state;
    state.Bitrate = bitrate;
    state.SampleRate = sampleRate;
    state.Stereo = stereo;
    return state;
}

QStringList Entries(const QComboBox* combo) {
    QStringList entries;
    for (int i = 0; i < combo->count(); ++i) entries << combo->itemText(i);
    return entries;
}

}  // namespace

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

private slots:
    static void Click(QAbstractButton* button) {
        // A radio button answers only on its indicator and text.
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }

    void init() {
        main_ = std::make_unique<QWidget>();
        main_->resize(585, 440);
        mainButton_ = new QPushButton("Settings...", main_.get());
        main_->show();
        main_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(main_.get()));
    }
    void cleanup() { main_.reset(); }

    void opensWithTheDefaults() {
        app::AppState state = Values(160, 44100, 1);
        ui::Form3* dialog = Open(state);
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QString("Encoder settings"));
        QVERIFY(!dialog->isModal());
        QVERIFY(dialog->isEnabled());
        QVERIFY(!main_->isEnabled());
        QVERIFY(!mainButton_->isEnabled());

        auto* bitrates = Child<QComboBox>(dialog, "Combo3");
        auto* rates = Child<QComboBox>(dialog, "Combo2");
        QCOMPARE(Entries(bitrates),
                 QString("320 256 224 192 160 128 112 96 80 64 56 48 32 16 8").split(' '));
        QCOMPARE(Entries(rates),
                 QString("48000 44100 32000 24000 22050 16000 12000 11025 8000").split(' '));
        QCOMPARE(bitrates->currentText(), QString("160"));
        QCOMPARE(rates->currentText(), QString("44100"));
        QVERIFY(Child<QRadioButton>(dialog, "Option2")->isChecked());
        QVERIFY(!Child<QRadioButton>(dialog, "Option1")->isChecked());

        QVERIFY((dialog->geometry().center() - main_->geometry().center()).manhattanLength() <= 2);

        const QByteArray folder = qgetenv("SONBRIDGE_TEST_OUTPUT");
        if (!folder.isEmpty())
            QVERIFY(dialog->grab().save(QDir(folder).filePath("form3-settings.png")));
        dialog->reject();
    }

    void valuesNotInAListLeaveItEmpty() {
        app::AppState state = Values(150, 22050, 1);
        ui::Form3* dialog = Open(state);
        QCOMPARE(Child<QComboBox>(dialog, "Combo3")->currentIndex(), -1);
        QCOMPARE(Child<QComboBox>(dialog, "Combo3")->currentText(), QString());
        QCOMPARE(Child<QComboBox>(dialog, "Combo2")->currentText(), QString("22050"));
        dialog->reject();

        state = Values(128, 44000, 1);
        dialog = Open(state);
        QCOMPARE(Child<QComboBox>(dialog, "Combo3")->currentText(), QString("128"));
        QCOMPARE(Child<QComboBox>(dialog, "Combo2")->currentIndex(), -1);
        dialog->reject();
    }

    void anyStereoValueButOneIsMono_data() {
        QTest::addColumn<int>("stereo");
        QTest::newRow("0") << 0;
        QTest::newRow("2") << 2;
        QTest::newRow("-1") << -1;
    }
    void anyStereoValueButOneIsMono() {
        QFETCH(int, stereo);
        app::AppState state = Values(160, 44100, qint16(stereo));
        ui::Form3* dialog = Open(state);
        QVERIFY(Child<QRadioButton>(dialog, "Option1")->isChecked());
        QVERIFY(!Child<QRadioButton>(dialog, "Option2")->isChecked());
        // OK stores what is shown.
        Click(Child<QPushButton>(dialog, "Command1"));
        QCOMPARE(state.Stereo, qint16(0));
    }

    void okStoresTheChoices() {
        app::AppState state = Values(160, 44100, 1);
        QPointer<ui::Form3> dialog = Open(state);
        Child<QComboBox>(dialog, "Combo3")->setCurrentText("96");
        Child<QComboBox>(dialog, "Combo2")->setCurrentText("11025");
        Click(Child<QRadioButton>(dialog, "Option1"));
        Click(Child<QPushButton>(dialog, "Command1"));
        QCOMPARE(state.Bitrate, 96);
        QCOMPARE(state.SampleRate, 11025);
        QCOMPARE(state.Stereo, qint16(0));
        VerifyClosedAndOwnerRestored(dialog);

        // The next opening starts from the stored values.
        dialog = Open(state);
        QCOMPARE(Child<QComboBox>(dialog, "Combo3")->currentText(), QString("96"));
        QCOMPARE(Child<QComboBox>(dialog, "Combo2")->currentText(), QString("11025"));
        QVERIFY(Child<QRadioButton>(dialog, "Option1")->isChecked());
        dialog->reject();
    }

    void okWithAnEmptyListKeepsThatValue() {
        app::AppState state = Values(150, 44000, 0);
        ui::Form3* dialog = Open(state);
        Click(Child<QRadioButton>(dialog, "Option2"));
        Click(Child<QPushButton>(dialog, "Command1"));
        QCOMPARE(state.Bitrate, 150);
        QCOMPARE(state.SampleRate, 44000);
        QCOMPARE(state.Stereo, qint16(1));
    }

    void closingWithoutOkChangesNothing_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel") << "cancel";
        QTest::newRow("Esc") << "esc";
        QTest::newRow("close box") << "close";
    }
    void closingWithoutOkChangesNothing() {
        QFETCH(QString, how);
        app::AppState state = Values(160, 44100, 1);
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

    void enterActsAsOk() {
        app::AppState state = Values(160, 44100, 1);
        QPointer<ui::Form3> dialog = Open(state);
        auto* bitrates = Child<QComboBox>(dialog, "Combo3");
        QCOMPARE(QApplication::focusWidget(), bitrates);  // the first stop of the tab order
        QTest::keyClick(bitrates, Qt::Key_Down);          // 160 -> 128
        QTest::keyClick(bitrates, Qt::Key_Return);
        QCOMPARE(state.Bitrate, 128);
        VerifyClosedAndOwnerRestored(dialog);
    }

    void tabOrderPutsBitrateFirst() {
        app::AppState state = Values(160, 44100, 1);
        ui::Form3* dialog = Open(state);
        QStringList visited{QApplication::focusWidget()->objectName()};
        for (int i = 0; i < 6; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        // Qt stops only at the checked button of a radio group, so Stereo is one stop.
        QCOMPARE(visited, QStringList({"Combo3", "Combo2", "Option2", "Command1", "Command2",
                                       "Combo3", "Combo2"}));
        dialog->reject();
    }
};

QTEST_MAIN(TestForm3)
#include "tst_form3.moc"
