#include "gui/StartApplication.h"

#include "core/FfmpegUtil.h"
#include "core/ProductInfo.h"
#include "core/Settings.h"
#include "gui/AudioFiles.h"
#include "gui/Dialogs.h"

#include <QCoreApplication>
#include <QDir>

namespace gui {

std::unique_ptr<Application> startApplication(Dialogs& dialogs, const QStringList& files) {
    auto app = std::make_unique<Application>();
    app->folders = core::prepareAppFolders();
    // Relative names mean the folder the program was started in.
    QStringList sources;
    for (const QString& file : files) sources.append(absolutePath(file));
    QDir::setCurrent(QCoreApplication::applicationDirPath());

    const QString mismatch = core::ff::versionMismatch();
    if (!mismatch.isEmpty()) {
        dialogs.message(nullptr, QMessageBox::Critical, core::kAppTitle,
                        QStringLiteral("An incorrect version of %1 was loaded").arg(mismatch));
        return nullptr;
    }
    core::Result<std::unique_ptr<playback::AudioDevice>> device = playback::AudioDevice::open();
    if (!device) {
        dialogs.message(nullptr, QMessageBox::NoIcon, core::kAppTitle,
                        QStringLiteral("Can't initialize device"));
        return nullptr;
    }
    app->device = device.take();
    app->window = std::make_unique<MainWindow>(*app->device, dialogs, app->folders.settingsPath);

    core::Settings settings;
    core::createDefaultSettings(settings, app->folders.dataFolder, app->folders.settingsPath);
    core::loadSettings(settings, app->folders.settingsPath);
    MainWindow& window = *app->window;
    window.showSettings(settings);
    window.placeWindow();
    window.show();
    window.setWindowTitle(core::kProductName);
    window.addPaths(sources);
    return app;
}

}  // namespace gui
