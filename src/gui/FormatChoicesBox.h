#pragma once
// The encoder choices of the output format picked in the main window: its
// mode and that mode's number (bitrate, quality or compression level), the
// sample rate and the channels, each of which may follow the source.

#include "core/EncoderSettings.h"

#include <QGroupBox>

#include <optional>

class QComboBox;
class QLabel;
class QRadioButton;
class QSpinBox;

namespace gui {

class FormatChoicesBox : public QGroupBox {
    Q_OBJECT
public:
    // format: the main window's choice; none shows the rate and channels only.
    FormatChoicesBox(const core::EncoderSettings& settings,
                     std::optional<core::OutputFormat> format, QWidget* parent);

    // Writes the choices into settings; other formats' values stay as they are.
    void store(core::EncoderSettings& settings);

    QComboBox* modeCombo() const { return modeCombo_; }
    // The mode's number: a list where the format names its values, else a spin box.
    QComboBox* numberCombo() const { return numberCombo_; }
    QSpinBox* numberSpin() const { return numberSpin_; }
    QComboBox* sampleRateCombo() const { return sampleRateCombo_; }
    QRadioButton* monoOption() const { return monoOption_; }
    QRadioButton* stereoOption() const { return stereoOption_; }
    QRadioButton* sourceChannelsOption() const { return sourceChannelsOption_; }
    // Says when the encoder will use another bitrate than the one chosen.
    QLabel* adjustmentNote() const { return adjustmentNote_; }
    // The first widget in the tab order and the last.
    QWidget* firstField() const;
    QWidget* lastField() const;

private:
    const core::EncoderMode* currentMode() const;
    void showMode();    // the number widgets for the current mode
    void keepNumber();  // the number shown, into chosen_ for the current mode
    core::EncoderSettings current();
    void showNote();

    const core::FormatInfo* format_ = nullptr;
    // A working copy: switching modes back and forth keeps each mode's number.
    core::EncoderSettings chosen_;
    const core::EncoderMode* shownMode_ = nullptr;
    QComboBox* modeCombo_ = nullptr;
    QLabel* numberLabel_ = nullptr;
    QComboBox* numberCombo_ = nullptr;
    QSpinBox* numberSpin_ = nullptr;
    QComboBox* sampleRateCombo_ = nullptr;
    QRadioButton* monoOption_ = nullptr;
    QRadioButton* stereoOption_ = nullptr;
    QRadioButton* sourceChannelsOption_ = nullptr;
    QLabel* adjustmentNote_ = nullptr;
};

}  // namespace gui
