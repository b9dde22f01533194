#include "ui/RealDialogs.h"
#include "ui/StartApplication.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication qapp(argc, argv);
    ui::RealDialogs dialogs;
    const auto sonbridge = ui::StartApplication(dialogs);
    if (!sonbridge) return 1;
    return qapp.exec();
}
