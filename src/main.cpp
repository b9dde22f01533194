#include "core/NativePath.h"
#include "gui/RealDialogs.h"
#include "gui/StartApplication.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication qapp(argc, argv);
    // Qt has taken its own options out of argv; the rest are files and
    // folders to list, kept byte for byte.
    QStringList files;
    for (int i = 1; i < argc; ++i) files.append(core::pathFromNative(QByteArrayView(argv[i])));
    gui::RealDialogs dialogs;
    const auto sonbridge = gui::startApplication(dialogs, files);
    if (!sonbridge) return 1;
    // Closing the main window (or Quit) ends the event loop; the window then
    // goes before the sound device it plays through.
    return qapp.exec();
}
