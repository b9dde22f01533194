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
W* place(QWidget* parent, const QRect& geometry) {
    auto* widget = new W(parent);
    widget->setGeometry(geometry);
    return widget;
}

QLabel* caption(QWidget* parent, const char* text, const QRect& geometry) {
    auto* label = place<QLabel>(parent, geometry);
    label->setText(text);
    return label;
}

const char* const kBitrates[] = {"320", "256", "224", "192", "160", "128", "112", "96",
                                 "80",  "64",  "56",  "48",  "32",  "16",  "8"};
const char* const kSampleRates[] = {"48000", "44100", "32000", "24000", "22050",
                                    "16000", "12000", "11025", "8000"};

// Selects the entry whose number equals value; none when nothing matches.
void selectValue(QComboBox* combo, qint32 value) {
    combo->setCurrentIndex(-1);
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemText(i).toInt() == value) combo->setCurrentIndex(i);
    }
}

// An empty list keeps the value it could not show.
void storeValue(const QComboBox* combo, qint32& value) {
    if (combo->currentIndex() >= 0) value = combo->currentText().toInt();
}

}  // namespace

EncoderSettingsDialog::EncoderSettingsDialog(core::Settings& settings, QWidget* owner)
    : QDialog(owner), settings_(settings) {
    setObjectName("encoderSettingsDialog");
    setWindowTitle("Encoder settings");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(twipsRect(0, 0, 4560, 2955).size());

    auto* lists = place<QWidget>(this, twipsRect(0, 120, 5055, 1215));
    caption(lists, "Samples rate, Hz", twipsRect(120, 120, 2415, 255));
    sampleRateCombo_ = place<QComboBox>(lists, twipsRect(1920, 120, 2535, 315));
    caption(lists, "Bitrate, kbps", twipsRect(120, 600, 2295, 255));
    bitrateCombo_ = place<QComboBox>(lists, twipsRect(1920, 600, 2535, 315));

    monoOption_ = place<QRadioButton>(this, twipsRect(120, 1320, 1815, 255));
    monoOption_->setText("Mono");
    stereoOption_ = place<QRadioButton>(this, twipsRect(120, 1680, 1815, 255));
    stereoOption_->setText("Stereo");

    caption(this, "Simultaneous conversions", twipsRect(120, 2070, 1800, 255));
    simultaneousCombo_ = place<QComboBox>(this, twipsRect(1920, 2040, 2535, 315));

    okButton_ = place<QPushButton>(this, twipsRect(2160, 2520, 1100, 350));
    okButton_->setText("OK");
    okButton_->setDefault(true);
    cancelButton_ = place<QPushButton>(this, twipsRect(3360, 2520, 1100, 350));
    cancelButton_->setText("Cancel");
    cancelButton_->setAutoDefault(false);
    connect(okButton_, &QPushButton::clicked, this, [this] {
        store();
        accept();
    });
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);

    // The bitrate comes before the sample rate, and Stereo before Mono.
    setTabOrder(bitrateCombo_, sampleRateCombo_);
    setTabOrder(sampleRateCombo_, stereoOption_);
    setTabOrder(stereoOption_, monoOption_);
    setTabOrder(monoOption_, simultaneousCombo_);
    setTabOrder(simultaneousCombo_, okButton_);
    setTabOrder(okButton_, cancelButton_);
    bitrateCombo_->setFocus();

    for (const char* bitrate : kBitrates) bitrateCombo_->addItem(bitrate);
    for (const char* rate : kSampleRates) sampleRateCombo_->addItem(rate);
    for (int jobs = 1; jobs <= core::kMaxSimultaneousConversions; ++jobs)
        simultaneousCombo_->addItem(QString::number(jobs));
    selectValue(bitrateCombo_, settings_.encoder.bitrate);
    selectValue(sampleRateCombo_, settings_.encoder.sampleRate);
    selectValue(simultaneousCombo_, settings_.simultaneousConversions);
    (settings_.encoder.stereo ? stereoOption_ : monoOption_)->setChecked(true);
}

void EncoderSettingsDialog::store() {
    storeValue(bitrateCombo_, settings_.encoder.bitrate);
    storeValue(sampleRateCombo_, settings_.encoder.sampleRate);
    storeValue(simultaneousCombo_, settings_.simultaneousConversions);
    settings_.encoder.stereo = stereoOption_->isChecked();
}

void showEncoderSettings(QWidget* mainWindow, core::Settings& settings) {
    showOverDisabledOwner(new EncoderSettingsDialog(settings, mainWindow), mainWindow);
}

}  // namespace gui
