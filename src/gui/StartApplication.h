#pragma once
// Start-up: data folders, first-run defaults, the engine and the main
// window, the saved settings, the caption.

#include "core/AppState.h"
#include "audio/Engine.h"
#include "gui/MainWindow.h"

#include <memory>

namespace gui {

class Dialogs;

// Everything one running program owns. The window goes first on destruction.
struct Application {
    core::AppState state;
    core::Engine engine;
    std::unique_ptr<Form1> window;
};

// Runs the start-up steps and returns the shown main window with what it
// works on. When the engine can't be used the reason has been shown through
// dialogs, nothing was saved, and the result is null: the program ends.
std::unique_ptr<Application> StartApplication(Dialogs& dialogs);

}  // namespace gui
