#include "gui/EncoderSettingsDialog.h"

#include "core/EncoderLimits.h"
#include "gui/OwnedDialog.h"
#include "gui/Twips.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace gui {
namespace {

constexpr int kListWidthTwips = 2535;

const char* const kBitrates[] = {"320", "256", "224", "192", "160", "128", "112", "96",
                                 "80",  "64",  "56",  "48",  "32",  "16",  "8"};
const char* const kSampleRates[] = {"48000", "44100", "32000", "24000", "22050",
                                    "16000", "12000", "11025", "8000"};

// A list with its caption on one line of grid, the caption naming the list.
QComboBox* listRow(QGridLayout* grid, int row, const QString& caption, const QString& name) {
    auto* parent = grid->parentWidget();
    auto* label = new QLabel(caption, parent);
    auto* combo = new QComboBox(parent);
    combo->setMinimumWidth(twipsToPx(kListWidthTwips));
    combo->setAccessibleName(name);
    label->setBuddy(combo);
    grid->addWidget(label, row, 0);
    grid->addWidget(combo, row, 1);
    return combo;
}

// What the encoders will really use for a choice they can't reach; empty when both can.
QString adjustmentText(const core::EncoderSettings& chosen) {
    QStringList parts;
    const core::BitrateAdjustment mp3 = core::adjustBitrate(core::OutputFormat::Mp3, chosen);
    const core::BitrateAdjustment ogg = core::adjustBitrate(core::OutputFormat::Ogg, chosen);
    if (mp3.kbps != chosen.bitrate)
        parts << EncoderSettingsDialog::tr("MP3 to %1 kbps").arg(mp3.kbps);
    if (ogg.kbps != chosen.bitrate)
        parts << EncoderSettingsDialog::tr("Ogg Vorbis to %1 kbps").arg(ogg.kbps);
    return parts.isEmpty() ? QString()
                           : EncoderSettingsDialog::tr("Adjusted: %1").arg(parts.join(", "));
}

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

EncoderSettingsDialog::EncoderSettingsDialog(core::Settings& settings, QWidget* owner,
                                             const ExampleSource& example)
    : QDialog(owner), settings_(settings) {
    setObjectName("encoderSettingsDialog");
    setWindowTitle(tr("Encoder settings"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    // Sized by its contents, whatever the font: fixed, but never too small.
    auto* column = new QVBoxLayout(this);
    column->setSizeConstraint(QLayout::SetFixedSize);
    auto* grid = new QGridLayout;
    column->addLayout(grid);
    sampleRateCombo_ = listRow(grid, 0, tr("Samples &rate, Hz"), tr("Sample rate"));
    bitrateCombo_ = listRow(grid, 1, tr("&Bitrate, kbps"), tr("Bitrate"));
    monoOption_ = new QRadioButton(tr("&Mono"), this);
    stereoOption_ = new QRadioButton(tr("&Stereo"), this);
    grid->addWidget(monoOption_, 2, 0, 1, 2);
    grid->addWidget(stereoOption_, 3, 0, 1, 2);
    adjustmentNote_ = new QLabel(this);
    grid->addWidget(adjustmentNote_, 4, 0, 1, 2);
    simultaneousCombo_ =
        listRow(grid, 5, tr("Simultaneous co&nversions"), tr("Simultaneous conversions"));
    copyTagsCheck_ = new QCheckBox(tr("Copy &tags and cover art"), this);
    grid->addWidget(copyTagsCheck_, 6, 0, 1, 2);

    outputOptions_ = new OutputOptionsBox(settings_, example, this);
    column->addWidget(outputOptions_);

    okButton_ = new QPushButton(tr("&OK"), this);
    okButton_->setDefault(true);
    // Enter on a focused Cancel cancels: an auto-default button takes Enter
    // while it has the focus, and OK takes it everywhere else.
    cancelButton_ = new QPushButton(tr("&Cancel"), this);
    cancelButton_->setAutoDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    column->addSpacing(grid->verticalSpacing());
    column->addLayout(buttons);
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
    setTabOrder(simultaneousCombo_, copyTagsCheck_);
    setTabOrder(copyTagsCheck_, outputOptions_->existingCombo());
    setTabOrder(outputOptions_->existingCombo(), outputOptions_->patternEdit());
    setTabOrder(outputOptions_->patternEdit(), outputOptions_->recreateSubFoldersCheck());
    setTabOrder(outputOptions_->recreateSubFoldersCheck(), outputOptions_->replayGainCheck());
    setTabOrder(outputOptions_->replayGainCheck(), okButton_);
    // A pattern that names no field can't be kept.
    connect(outputOptions_, &OutputOptionsBox::usableChanged, okButton_, &QWidget::setEnabled);
    okButton_->setEnabled(outputOptions_->usable());
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
    copyTagsCheck_->setChecked(settings_.copyTags);

    const auto showNote = [this] {
        core::EncoderSettings chosen = settings_.encoder;
        storeValue(bitrateCombo_, chosen.bitrate);
        storeValue(sampleRateCombo_, chosen.sampleRate);
        chosen.stereo = stereoOption_->isChecked();
        const QString note = adjustmentText(chosen);
        adjustmentNote_->setText(note);
        adjustmentNote_->setVisible(!note.isEmpty());
    };
    showNote();
    connect(bitrateCombo_, &QComboBox::currentIndexChanged, this, showNote);
    connect(sampleRateCombo_, &QComboBox::currentIndexChanged, this, showNote);
    connect(stereoOption_, &QRadioButton::toggled, this, showNote);
}

void EncoderSettingsDialog::store() {
    storeValue(bitrateCombo_, settings_.encoder.bitrate);
    storeValue(sampleRateCombo_, settings_.encoder.sampleRate);
    storeValue(simultaneousCombo_, settings_.simultaneousConversions);
    settings_.encoder.stereo = stereoOption_->isChecked();
    settings_.copyTags = copyTagsCheck_->isChecked();
    outputOptions_->store(settings_);
}

void showEncoderSettings(QWidget* mainWindow, core::Settings& settings,
                         const ExampleSource& example) {
    showOverDisabledOwner(new EncoderSettingsDialog(settings, mainWindow, example), mainWindow);
}

}  // namespace gui
