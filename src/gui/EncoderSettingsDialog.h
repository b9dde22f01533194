#pragma once
// "Encoder settings": bitrate, sample rate and channel mode for the MP3 and
// OGG encoders. Edits the shared values only; the settings file is written
// when the main window closes.

#include "core/AppState.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace gui {

class Form3 : public QDialog {
    Q_OBJECT

public:
    // Shows state's values; OK writes them back. Object name "Form3".
    Form3(core::AppState& state, QWidget* owner);

private slots:
    void Command1_Click();  // OK
    void Command2_Click();  // Cancel

private:
    void Form_Load();

    core::AppState& state_;
    QWidget* Picture31 = nullptr;
    QLabel* Label7 = nullptr;
    QComboBox* Combo2 = nullptr;  // sample rates
    QLabel* Label6 = nullptr;
    QComboBox* Combo3 = nullptr;      // bitrates
    QRadioButton* Option1 = nullptr;  // Mono
    QRadioButton* Option2 = nullptr;  // Stereo
    QPushButton* Command1 = nullptr;  // OK
    QPushButton* Command2 = nullptr;  // Cancel
};

// Disables mainWindow and shows the dialog over it, modeless; however the
// dialog closes, mainWindow is enabled again and gets the focus. The open
// dialog is mainWindow's child named "Form3".
void showEncoderSettings(QWidget* mainWindow, core::AppState& state);

}  // namespace gui
