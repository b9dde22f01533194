#include "gui/FormatChoicesBox.h"

#include "core/EncoderLimits.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>

namespace gui {
namespace {

// Selects the entry whose data equals value; none when nothing matches.
void selectData(QComboBox* combo, int value) {
    combo->setCurrentIndex(combo->findData(value));
}

}  // namespace

FormatChoicesBox::FormatChoicesBox(const core::EncoderSettings& settings,
                                   std::optional<core::OutputFormat> format, QWidget* parent)
    : QGroupBox(parent), chosen_(settings) {
    if (format) format_ = &core::formatInfo(*format);
    setTitle(format_ ? QLatin1String(format_->fullName) : QString());
    auto* form = new QFormLayout(this);

    modeCombo_ = new QComboBox(this);
    modeCombo_->setAccessibleName(tr("Mode"));
    form->addRow(tr("Mo&de:"), modeCombo_);
    numberLabel_ = new QLabel(this);
    numberCombo_ = new QComboBox(this);
    numberSpin_ = new QSpinBox(this);
    auto* numberRow = new QHBoxLayout;
    numberRow->setContentsMargins(0, 0, 0, 0);
    numberRow->addWidget(numberCombo_, 1);
    numberRow->addWidget(numberSpin_, 1);
    form->addRow(numberLabel_, numberRow);

    sampleRateCombo_ = new QComboBox(this);
    sampleRateCombo_->setAccessibleName(tr("Sample rate"));
    sampleRateCombo_->addItem(tr("Same as source"), core::kSourceSampleRate);
    for (int rate : core::sampleRateChoices())
        sampleRateCombo_->addItem(QString::number(rate), rate);
    form->addRow(tr("Samples &rate, Hz:"), sampleRateCombo_);
    monoOption_ = new QRadioButton(tr("&Mono"), this);
    stereoOption_ = new QRadioButton(tr("&Stereo"), this);
    sourceChannelsOption_ = new QRadioButton(tr("Same &as source"), this);
    form->addRow(monoOption_);
    form->addRow(stereoOption_);
    form->addRow(sourceChannelsOption_);
    adjustmentNote_ = new QLabel(this);
    adjustmentNote_->setWordWrap(true);
    form->addRow(adjustmentNote_);

    const bool hasModes = format_ && !format_->modes.empty();
    if (hasModes) {
        for (const core::EncoderMode& m : format_->modes)
            modeCombo_->addItem(QCoreApplication::translate("core", m.name), QLatin1String(m.id));
        modeCombo_->setCurrentIndex(
            modeCombo_->findData(QLatin1String(core::chosenMode(*format_, chosen_)->id)));
    }
    form->setRowVisible(modeCombo_, hasModes && format_->modes.size() > 1);
    form->setRowVisible(numberRow, hasModes);
    // The wave format dialog at the start asks for the rate and channels of a WAV.
    const bool wav = format_ && format_->encoder == core::EncoderKind::WaveWriter;
    form->setRowVisible(sampleRateCombo_, !wav);
    for (QWidget* w : {monoOption_, stereoOption_, sourceChannelsOption_})
        form->setRowVisible(w, !wav);

    // The number comes before the rate, and Stereo before Mono.
    QWidget* const order[] = {modeCombo_,    numberCombo_, numberSpin_,          sampleRateCombo_,
                              stereoOption_, monoOption_,  sourceChannelsOption_};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
    selectData(sampleRateCombo_, settings.sampleRate);
    (settings.sourceChannels ? sourceChannelsOption_
     : settings.stereo       ? stereoOption_
                             : monoOption_)
        ->setChecked(true);
    showMode();

    connect(modeCombo_, &QComboBox::currentIndexChanged, this, [this] {
        keepNumber();
        showMode();
    });
    for (QComboBox* combo : {numberCombo_, sampleRateCombo_})
        connect(combo, &QComboBox::currentIndexChanged, this, &FormatChoicesBox::showNote);
    connect(numberSpin_, &QSpinBox::valueChanged, this, &FormatChoicesBox::showNote);
    for (QRadioButton* option : {monoOption_, stereoOption_, sourceChannelsOption_})
        connect(option, &QRadioButton::toggled, this, &FormatChoicesBox::showNote);
}

QWidget* FormatChoicesBox::firstField() const {
    if (!modeCombo_->isHidden()) return modeCombo_;
    if (!numberCombo_->isHidden()) return numberCombo_;
    if (!numberSpin_->isHidden()) return numberSpin_;
    return sampleRateCombo_;
}

QWidget* FormatChoicesBox::lastField() const {
    return sourceChannelsOption_;
}

const core::EncoderMode* FormatChoicesBox::currentMode() const {
    if (!format_ || format_->modes.empty()) return nullptr;
    const core::EncoderMode* m = core::findMode(*format_, modeCombo_->currentData().toString());
    return m ? m : &format_->modes.front();
}

void FormatChoicesBox::showMode() {
    shownMode_ = currentMode();
    if (!shownMode_) {
        showNote();
        return;
    }
    const core::EncoderMode& m = *shownMode_;
    static const char* const kCaptions[] = {QT_TR_NOOP("&Bitrate, kbps:"), QT_TR_NOOP("&Quality:"),
                                            QT_TR_NOOP("Com&pression level:")};
    numberLabel_->setText(tr(kCaptions[int(m.value)]));
    const bool listed = !m.listed.empty();
    QWidget* field = listed ? static_cast<QWidget*>(numberCombo_) : numberSpin_;
    numberLabel_->setBuddy(field);
    numberCombo_->setVisible(listed);
    numberSpin_->setVisible(!listed);
    const qint32 value = core::modeNumber(m, chosen_);
    {
        const QSignalBlocker blockCombo(numberCombo_);
        const QSignalBlocker blockSpin(numberSpin_);
        numberCombo_->clear();
        for (int v : m.listed) numberCombo_->addItem(QString::number(v), v);
        selectData(numberCombo_, value);
        numberSpin_->setRange(m.minimum, m.maximum);
        numberSpin_->setValue(value);
    }
    showNote();
}

void FormatChoicesBox::keepNumber() {
    if (!shownMode_) return;
    if (numberSpin_->isVisibleTo(this))
        core::setModeNumber(*shownMode_, numberSpin_->value(), chosen_);
    else if (numberCombo_->currentIndex() >= 0)  // an empty list keeps the value it can't show
        core::setModeNumber(*shownMode_, numberCombo_->currentData().toInt(), chosen_);
    core::chooseMode(*format_, *shownMode_, chosen_);
}

core::EncoderSettings FormatChoicesBox::current() {
    keepNumber();
    core::EncoderSettings now = chosen_;
    if (sampleRateCombo_->currentIndex() >= 0)
        now.sampleRate = sampleRateCombo_->currentData().toInt();
    now.sourceChannels = sourceChannelsOption_->isChecked();
    if (!now.sourceChannels) now.stereo = stereoOption_->isChecked();
    return now;
}

void FormatChoicesBox::store(core::EncoderSettings& settings) {
    const core::EncoderSettings now = current();
    settings.sampleRate = now.sampleRate;
    settings.stereo = now.stereo;
    settings.sourceChannels = now.sourceChannels;
    if (!format_) return;
    if (shownMode_) core::chooseMode(*format_, *shownMode_, settings);
    // Only numbers that were set: untouched modes keep no key.
    for (const core::EncoderMode& m : format_->modes)
        if (&m == shownMode_ || now.values.contains(QLatin1String(m.settingsKey)))
            core::setModeNumber(m, core::modeNumber(m, now), settings);
}

void FormatChoicesBox::showNote() {
    QString note;
    if (format_ && format_->encoder == core::EncoderKind::WaveWriter) {
        note =
            tr("The wave format (codec, rate and channels) is chosen when the conversion "
               "starts.");
    } else if (format_ && shownMode_) {
        const core::EncoderSettings now = current();
        // With the source's rate the bitrate can only be checked per file.
        if (now.sampleRate != core::kSourceSampleRate) {
            const int wanted = core::modeNumber(*shownMode_, now);
            const int kbps = core::adjustBitrate(format_->format, now).kbps;
            if (kbps != wanted)
                note =
                    tr("Adjusted: %1 to %2 kbps").arg(QLatin1String(format_->fullName)).arg(kbps);
        }
    }
    adjustmentNote_->setText(note);
    adjustmentNote_->setVisible(!note.isEmpty());
}

}  // namespace gui
