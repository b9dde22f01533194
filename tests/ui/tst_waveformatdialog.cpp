#include "ui/WaveFormatDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

QListWidget* List(QWidget* dialog, const char* name) {
    return dialog->findChild<QListWidget*>(name);
}

QString Current(QListWidget* list) {
    return list->currentItem() ? list->currentItem()->text() : QString();
}

void Click(QWidget* dialog, QDialogButtonBox::StandardButton which) {
    QTest::mouseClick(dialog->findChild<QDialogButtonBox*>("buttons")->button(which),
                      Qt::LeftButton);
}

}  // namespace

class TestWaveFormatDialog : public QObject {
    Q_OBJECT

private:
    // What the engine's writer really offers.
    const QList<audio::WaveFormatInfo> formats_ = audio::Engine::waveFormats();

    QByteArray Block(const QString& name, const QString& attributes) const {
        for (const auto& f : formats_) {
            if (f.formatName == name && f.attributes == attributes) return f.waveFormatEx;
        }
        return {};
    }

private slots:
    void initTestCase() { QVERIFY(formats_.size() > 10); }

    // A block the list does not hold: CD-quality PCM is offered instead.
    void noUsableCurrentBlockPreselectsCdQualityPcm() {
        for (const QByteArray& current :
             {QByteArray(audio::Engine::acmFormatSize(), '\0'),
              QByteArray("\x55\x55\x01\x00\x44\xac\x00\x00", 8), QByteArray("\x01", 1)}) {
            ui::WaveFormatDialog dialog(formats_, current, nullptr);
            QCOMPARE(Current(List(&dialog, "formatList")), QString("PCM"));
            QCOMPARE(Current(List(&dialog, "attributeList")), QString("44100 Hz, 16 bit, Stereo"));
        }
    }

    void theCurrentBlockIsPreselected() {
        const QByteArray ima = Block("IMA ADPCM", "22050 Hz, 4 bit, Mono");
        QVERIFY(!ima.isEmpty());
        for (const QByteArray& current :
             {ima, ima + QByteArray(audio::Engine::acmFormatSize() + 1 - ima.size(), '\0')}) {
            ui::WaveFormatDialog dialog(formats_, current, nullptr);
            QCOMPARE(Current(List(&dialog, "formatList")), QString("IMA ADPCM"));
            QCOMPARE(Current(List(&dialog, "attributeList")), QString("22050 Hz, 4 bit, Mono"));
        }
        // Padding that is not zero makes it another block.
        ui::WaveFormatDialog dialog(formats_, ima + QByteArray("\x01", 1), nullptr);
        QCOMPARE(Current(List(&dialog, "formatList")), QString("PCM"));
    }

    void okReturnsTheChosenBlock() {
        ui::WaveFormatDialog dialog(formats_, {}, nullptr);
        dialog.show();
        List(&dialog, "formatList")->setCurrentRow(2);  // A-Law
        auto* attributes = List(&dialog, "attributeList");
        const auto matches = attributes->findItems("8000 Hz, 8 bit, Mono", Qt::MatchExactly);
        QCOMPARE(matches.size(), 1);
        attributes->setCurrentItem(matches.first());
        QTest::mouseClick(dialog.findChild<QCheckBox*>("useForRest"), Qt::LeftButton, {},
                          QPoint(6, 6));
        Click(&dialog, QDialogButtonBox::Ok);

        const ui::WaveFormatChoice choice = dialog.choice();
        QVERIFY(choice.chosen);
        QCOMPARE(choice.waveFormatEx, Block("A-Law", "8000 Hz, 8 bit, Mono"));
        QVERIFY(choice.useForRestOfBatch);
    }

    void cancelAndEscChooseNothing() {
        for (bool esc : {false, true}) {
            ui::WaveFormatDialog dialog(formats_, {}, nullptr);
            dialog.show();
            dialog.findChild<QCheckBox*>("useForRest")->setChecked(true);
            if (esc)
                QTest::keyClick(&dialog, Qt::Key_Escape);
            else
                Click(&dialog, QDialogButtonBox::Cancel);
            QVERIFY(!dialog.isVisible());
            const ui::WaveFormatChoice choice = dialog.choice();
            QVERIFY(!choice.chosen);
            QVERIFY(choice.waveFormatEx.isEmpty());
            QVERIFY(!choice.useForRestOfBatch);
        }
    }

    void chooseWaveFormatRunsModally() {
        QWidget owner;
        owner.show();
        const QByteArray gsm = Block("GSM 6.10", "8000 Hz, Mono");
        bool sawDialog = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<ui::WaveFormatDialog*>(QApplication::activeModalWidget());
            sawDialog = dialog && dialog->parentWidget() == &owner;
            if (dialog) Click(dialog, QDialogButtonBox::Ok);
        });
        const ui::WaveFormatChoice choice = ui::ChooseWaveFormat(&owner, formats_, gsm);
        QVERIFY(sawDialog);
        QVERIFY(choice.chosen);
        QCOMPARE(choice.waveFormatEx, gsm);
        QVERIFY(!choice.useForRestOfBatch);  // not ticked unless asked
    }

    void nothingToChooseFromCannotBeAccepted() {
        ui::WaveFormatDialog dialog({}, {}, nullptr);
        auto* ok = dialog.findChild<QDialogButtonBox*>("buttons")->button(QDialogButtonBox::Ok);
        QVERIFY(!ok->isEnabled());
        dialog.accept();  // even forced, there is no block to hand back
        QVERIFY(!dialog.choice().chosen);
    }
};

QTEST_MAIN(TestWaveFormatDialog)
#include "tst_waveformatdialog.moc"
