#pragma once
// Start-up: data folders, first-run defaults, the engine and the main
// window, the saved settings, the caption.

#include "app/AppState.h"
#include "audio/Engine.h"
#include "ui/Form1.h"

#include <memory>

namespace ui {

class Dialogs;

// Everything one running program owns. The window goes first on destruction.
struct Application {
    app::AppState state;
    audio::Engine engine;
    std::unique_ptr<Form1> window;
};

// Runs the start-up steps and returns the shown main window with what it
// works on. When the engine can't be used the reason has been shown through
// dialogs, nothing was saved, and the result is null: the program ends.
std::unique_ptr<Application> StartApplication(Dialogs& dialogs);

}  // namespace ui
