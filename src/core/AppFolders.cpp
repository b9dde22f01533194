#include "core/AppFolders.h"

#include "core/PathHelpers.h"

#include <QStandardPaths>

namespace core {

QString documentsFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    while (folder.size() > 1 && folder.endsWith(pathSeparator())) folder.chop(1);
    return folder;
}

AppFolders appFolders() {
    const QChar sep = pathSeparator();
    AppFolders folders;
    folders.dataFolder = documentsFolder() + sep + QLatin1String("Quillmoor Sonbridge");
    folders.settingsPath = folders.dataFolder + sep + QLatin1String("settings.ini");
    return folders;
}

AppFolders prepareAppFolders() {
    const QChar sep = pathSeparator();
    AppFolders folders = appFolders();
    createFolder(folders.dataFolder + sep);
    createFolder(folders.dataFolder + sep + QLatin1String("Output") + sep);
    return folders;
}

}  // namespace core
