#pragma once
// "Encoder settings": the chosen output format's mode, bitrate or quality,
// sample rate and channels, how many files convert at once, tags and
// output names. Edits the settings in
// memory only; the settings file is written when the main window closes.

#include "core/Settings.h"
#include "gui/OutputOptionsBox.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QPushButton;

namespace gui {

class FormatChoicesBox;

class EncoderSettingsDialog : public QDialog {
    Q_OBJECT

public:
    // Shows the values of settings; OK writes them back. Object name "encoderSettingsDialog".
    // example: the row the output-name example is made from.
    EncoderSettingsDialog(core::Settings& settings, QWidget* owner,
                          const ExampleSource& example = {});

    FormatChoicesBox* formatChoices() const { return formatChoices_; }
    QComboBox* simultaneousCombo() const { return simultaneousCombo_; }
    QCheckBox* copyTagsCheck() const { return copyTagsCheck_; }
    OutputOptionsBox* outputOptions() const { return outputOptions_; }
    QPushButton* okButton() const { return okButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }

private:
    void store();

    core::Settings& settings_;
    FormatChoicesBox* formatChoices_ = nullptr;
    QComboBox* simultaneousCombo_ = nullptr;
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
