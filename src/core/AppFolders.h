#pragma once
// Where the program keeps its per-user data: the documents folder followed
// by "Quillmoor Sonbridge", holding settings.ini and the "Output" folder.

#include <QString>

namespace core {

struct AppFolders {
    QString dataFolder;    // no trailing separator
    QString settingsPath;  // dataFolder + "/settings.ini"
};

// The user's documents folder without a trailing separator; empty when unknown.
QString documentsFolder();

// The folders, without touching the disk.
AppFolders appFolders();
// The folders, creating the data folder and its "Output" folder (every
// missing level; failures ignored).
AppFolders prepareAppFolders();

}  // namespace core
