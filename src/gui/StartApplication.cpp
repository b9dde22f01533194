#include "gui/StartApplication.h"

#include "core/ProductInfo.h"
#include "core/Settings.h"
#include "core/AppFolders.h"
#include "gui/Dialogs.h"

#include <QCoreApplication>
#include <QDir>

namespace gui {

namespace {

// Creating the main window: working folder, engine version, the window with
// its load step, then the sound device.
bool CreateMainWindow(Application& a, Dialogs& dialogs) {
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    const QString mismatch = core::Engine::versionMismatch();
    if (!mismatch.isEmpty()) {
        dialogs.message(nullptr, QMessageBox::Critical, core::kAppTitle,
                        QStringLiteral("An incorrect version of %1 was loaded").arg(mismatch));
        return false;
    }
    a.window = std::make_unique<Form1>(a.state, a.engine, dialogs);
    if (!a.engine.init()) {
        dialogs.message(nullptr, QMessageBox::NoIcon, core::kAppTitle,
                        QStringLiteral("Can't initialize device"));
        return false;
    }
    return true;
}

}  // namespace

std::unique_ptr<Application> StartApplication(Dialogs& dialogs) {
    auto a = std::make_unique<Application>();
    core::PrepareAppDataFolders(a->state);
    // The first-run defaults go into the window's controls, so the window
    // exists before them on every run.
    if (!CreateMainWindow(*a, dialogs)) return nullptr;
    Form1& form = *a->window;
    core::CreateDefaultSettings(a->state, form);
    form.centerOnScreen();
    form.show();
    core::LoadSettings(a->state, form);
    form.selectFormat(a->state.FormatIndex);
    form.setWindowTitle(core::kProductName);
    return a;
}

}  // namespace gui
