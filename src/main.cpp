#include "gui/RealDialogs.h"
#include "gui/StartApplication.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication qapp(argc, argv);
    gui::RealDialogs dialogs;
    const auto sonbridge = gui::StartApplication(dialogs);
    if (!sonbridge) return 1;
    return qapp.exec();
}
