#include "gui/EncoderSettingsDialog.h"

#include "gui/OwnedDialog.h"
#include "gui/Twips.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace gui {
namespace {

template <typename W>
W* Place(QWidget* parent, const char* name, const QRect& geometry) {
    auto* widget = new W(parent);
    widget->setObjectName(name);
    widget->setGeometry(geometry);
    return widget;
}

const char* const kBitrates[] = {"320", "256", "224", "192", "160", "128", "112", "96",
                                 "80",  "64",  "56",  "48",  "32",  "16",  "8"};
const char* const kSampleRates[] = {"48000", "44100", "32000", "24000", "22050",
                                    "16000", "12000", "11025", "8000"};

// Selects the entry whose number equals value; none when nothing matches.
void SelectValue(QComboBox* combo, qint32 value) {
    combo->setCurrentIndex(-1);
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemText(i).toInt() == value) combo->setCurrentIndex(i);
    }
}

// An empty list keeps the value it could not show.
void StoreValue(const QComboBox* combo, qint32& value) {
    if (combo->currentIndex() >= 0) value = combo->currentText().toInt();
}

}  // namespace

Form3::Form3(core::AppState& state, QWidget* owner) : QDialog(owner), state_(state) {
    setObjectName("Form3");
    setWindowTitle("Encoder settings");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(twipsRect(0, 0, 4560, 2955).size());

    Picture31 = new QWidget(this);
    Picture31->setObjectName("Picture31");
    Picture31->setGeometry(twipsRect(0, 120, 5055, 1215));
    Label7 = Place<QLabel>(Picture31, "Label7", twipsRect(120, 120, 2415, 255));
    Label7->setText("Samples rate, Hz");
    Combo2 = Place<QComboBox>(Picture31, "Combo2", twipsRect(1920, 120, 2535, 315));
    Label6 = Place<QLabel>(Picture31, "Label6", twipsRect(120, 600, 2295, 255));
    Label6->setText("Bitrate, kbps");
    Combo3 = Place<QComboBox>(Picture31, "Combo3", twipsRect(1920, 600, 2535, 315));

    Option1 = Place<QRadioButton>(this, "Option1", twipsRect(120, 1320, 1815, 255));
    Option1->setText("Mono");
    Option2 = Place<QRadioButton>(this, "Option2", twipsRect(120, 1680, 1815, 255));
    Option2->setText("Stereo");

    Command1 = Place<QPushButton>(this, "Command1", twipsRect(2160, 2520, 1100, 350));
    Command1->setText("OK");
    Command1->setDefault(true);
    Command2 = Place<QPushButton>(this, "Command2", twipsRect(3360, 2520, 1100, 350));
    Command2->setText("Cancel");
    Command2->setAutoDefault(false);
    connect(Command1, &QPushButton::clicked, this, &Form3::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form3::Command2_Click);

    // The bitrate comes before the sample rate, and Stereo before Mono.
    setTabOrder(Combo3, Combo2);
    setTabOrder(Combo2, Option2);
    setTabOrder(Option2, Option1);
    setTabOrder(Option1, Command1);
    setTabOrder(Command1, Command2);
    Combo3->setFocus();

    Form_Load();
}

void Form3::Form_Load() {
    for (const char* bitrate : kBitrates) Combo3->addItem(bitrate);
    for (const char* rate : kSampleRates) Combo2->addItem(rate);
    SelectValue(Combo3, state_.Bitrate);
    SelectValue(Combo2, state_.SampleRate);
    (state_.Stereo == 1 ? Option2 : Option1)->setChecked(true);
}

void Form3::Command1_Click() {
    StoreValue(Combo3, state_.Bitrate);
    StoreValue(Combo2, state_.SampleRate);
    state_.Stereo = Option2->isChecked() ? 1 : 0;
    accept();
}

void Form3::Command2_Click() {
    reject();
}

void showEncoderSettings(QWidget* mainWindow, core::AppState& state) {
    showOverDisabledOwner(new Form3(state, mainWindow), mainWindow);
}

}  // namespace gui
