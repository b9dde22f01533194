#pragma once
// The About box: product name and version, copyright, the support mail and
// home page links, which open through the shell, and the libraries' credits.

#include <QDialog>

namespace gui {

class Dialogs;

class AboutDialog : public QDialog {
    Q_OBJECT

public:
    // Links go to dialogs.openUrl, which must outlive the box. Object name "aboutDialog".
    AboutDialog(Dialogs& dialogs, QWidget* owner);
};

// Disables mainWindow and shows the About box over it, modeless; however the
// box closes, mainWindow is enabled again and gets the focus. The open box is
// mainWindow's child named "aboutDialog".
void showAbout(QWidget* mainWindow, Dialogs& dialogs);

}  // namespace gui
