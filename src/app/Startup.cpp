#include "app/Startup.h"

#include "app/PathHelpers.h"

#include <QStandardPaths>

namespace app {

QString GetDocumentsFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    while (folder.size() > 1 && folder.endsWith(PathSeparator())) folder.chop(1);
    return folder;
}

void PrepareAppDataFolders(AppState& state) {
    const QChar sep = PathSeparator();
    state.AppDataFolder = GetDocumentsFolder() + sep + QLatin1String("Quillmoor Sonbridge");
    CreateFolder(state.AppDataFolder + sep);
    CreateFolder(state.AppDataFolder + sep + QLatin1String("Output") + sep);
    state.SettingsPath = state.AppDataFolder + sep + QLatin1String("settings.ini");
}

}  // namespace app
