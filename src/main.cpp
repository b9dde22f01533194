#include "core/NativePath.h"
#include "gui/CommandLine.h"
#include "gui/RealDialogs.h"
#include "gui/StartApplication.h"
#include "gui/Translations.h"

#include <QApplication>

#include <cstdio>

namespace {

// File names are bytes; arguments() would turn those that are not UTF-8 into U+FFFD.
QStringList argumentsAsGiven(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments.append(core::pathFromNative(QByteArrayView(argv[i])));
    return arguments;
}

}  // namespace

int main(int argc, char* argv[]) {
    // No display is needed to print the help or the version.
    if (const auto what = gui::printAndExitOption(argumentsAsGiven(argc, argv))) {
        QCoreApplication app(argc, argv);
        gui::installTranslations(app);
        std::puts(qPrintable(gui::printAndExitText(*what)));
        return 0;
    }
    QApplication qapp(argc, argv);
    gui::installTranslations(qapp);
    // Qt has taken its own options out of argv; the rest are files and
    // folders to list, kept byte for byte.
    gui::RealDialogs dialogs;
    const auto sonbridge =
        gui::startApplication(dialogs, gui::filesToList(argumentsAsGiven(argc, argv)));
    if (!sonbridge) return 1;
    // Closing the main window (or Quit) ends the event loop; the window then
    // goes before the sound device it plays through.
    return qapp.exec();
}
