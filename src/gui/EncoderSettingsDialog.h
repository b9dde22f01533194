#pragma once
// "Encoder settings": bitrate, sample rate and channel mode for the MP3 and
// OGG encoders, and how many files convert at once. Edits the settings in
// memory only; the settings file is written when the main window closes.

#include "core/Settings.h"
#include "gui/OutputOptionsBox.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace gui {

class EncoderSettingsDialog : public QDialog {
    Q_OBJECT

public:
    // Shows the values of settings; OK writes them back. Object name "encoderSettingsDialog".
    // example: the row the output-name example is made from.
    EncoderSettingsDialog(core::Settings& settings, QWidget* owner,
                          const ExampleSource& example = {});

    QComboBox* sampleRateCombo() const { return sampleRateCombo_; }
    QComboBox* bitrateCombo() const { return bitrateCombo_; }
    QComboBox* simultaneousCombo() const { return simultaneousCombo_; }
    QRadioButton* monoOption() const { return monoOption_; }
    QRadioButton* stereoOption() const { return stereoOption_; }
    QCheckBox* copyTagsCheck() const { return copyTagsCheck_; }
    OutputOptionsBox* outputOptions() const { return outputOptions_; }
    QPushButton* okButton() const { return okButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }
    // Says which encoder will use another bitrate than the one chosen.
    QLabel* adjustmentNote() const { return adjustmentNote_; }

private:
    void store();

    core::Settings& settings_;
    QComboBox* sampleRateCombo_ = nullptr;
    QComboBox* bitrateCombo_ = nullptr;
    QComboBox* simultaneousCombo_ = nullptr;
    QRadioButton* monoOption_ = nullptr;
    QRadioButton* stereoOption_ = nullptr;
    QLabel* adjustmentNote_ = nullptr;
    QCheckBox* copyTagsCheck_ = nullptr;
    OutputOptionsBox* outputOptions_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

// Disables mainWindow and shows the dialog over it, modeless; however the
// dialog closes, mainWindow is enabled again and gets the focus. The open
// dialog is mainWindow's child named "encoderSettingsDialog".
void showEncoderSettings(QWidget* mainWindow, core::Settings& settings,
                         const ExampleSource& example = {});

}  // namespace gui
