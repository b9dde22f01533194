#include "gui/StartApplication.h"

#include "core/AudioFiles.h"
#include "core/FfmpegUtil.h"
#include "core/PathHelpers.h"
#include "core/ProductInfo.h"
#include "core/Settings.h"
#include "gui/AudioFiles.h"
#include "gui/Dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QtDebug>

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
                        QCoreApplication::translate("gui::StartApplication",
                                                    "An incorrect version of %1 was loaded")
                            .arg(mismatch));
        return nullptr;
    }
    // Converting needs no sound device: without one only Play is unavailable.
    core::Result<std::unique_ptr<playback::AudioDevice>> device = playback::AudioDevice::open();
    if (device)
        app->device = device.take();
    else
        qWarning().noquote() << device.reason();
    app->window =
        std::make_unique<MainWindow>(app->device.get(), dialogs, app->folders.settingsPath);

    core::Settings settings;
    core::createDefaultSettings(settings, app->folders.dataFolder, app->folders.settingsPath);
    core::loadSettings(settings, app->folders.settingsPath);
    MainWindow& window = *app->window;
    app->signalNotifier = std::make_unique<core::SignalNotifier>();
    QObject::connect(app->signalNotifier.get(), &core::SignalNotifier::received, &window,
                     [&window](int signalNumber) {
                         window.shutDown();
                         QCoreApplication::exit(core::exitStatusForSignal(signalNumber));
                     });
    window.showSettings(settings);
    window.placeWindow();
    window.show();
    window.setWindowTitle(core::kProductName);
    window.addPaths(sources);
    // Named once, together, instead of dropped without a word.
    QStringList unusable;
    for (const QString& source : sources)
        if (!core::isFolder(source) && core::fileSize(source) == 0) unusable << source;
    if (!unusable.isEmpty())
        dialogs.message(&window, QMessageBox::Warning, core::kAppTitle,
                        QCoreApplication::translate(
                            "gui::StartApplication",
                            "These files can't be added: they are missing, empty or can't be "
                            "read.\n\n%1")
                            .arg(unusable.join(QLatin1Char('\n'))));
    return app;
}

}  // namespace gui
