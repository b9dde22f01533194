#pragma once
// The first start-up steps: where the program keeps its data, and the
// folders it needs there.

#include "app/AppState.h"

#include <QString>

namespace app {

// The user's documents folder without a trailing separator; empty when unknown.
QString GetDocumentsFolder();

// Sets AppDataFolder and SettingsPath and creates AppDataFolder and its
// "Output" folder (every missing level; failures ignored).
void PrepareAppDataFolders(AppState& state);

}  // namespace app
