#include "gui/RealDialogs.h"
#include "gui/StartApplication.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication qapp(argc, argv);
    gui::RealDialogs dialogs;
    const auto sonbridge = gui::startApplication(dialogs);
    if (!sonbridge) return 1;
    // Closing the main window (or Quit) ends the event loop; the window then
    // goes before the sound device it plays through.
    return qapp.exec();
}
