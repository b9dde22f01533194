#pragma once
// Start-up: data folders, the FFmpeg version check, the sound device, the
// main window, first-run defaults, the saved settings, the caption.

#include "core/AppFolders.h"
#include "core/SignalNotifier.h"
#include "gui/MainWindow.h"
#include "playback/AudioDevice.h"

#include <memory>

namespace gui {

class Dialogs;

// Everything one running program owns. The window goes first on destruction.
struct Application {
    core::AppFolders folders;
    // SIGTERM, SIGHUP (a logout), SIGINT: the window shuts down as closing
    // it would and the program ends with 128 + the signal's number.
    std::unique_ptr<core::SignalNotifier> signalNotifier;
    std::unique_ptr<playback::AudioDevice> device;
    std::unique_ptr<MainWindow> window;
};

// Runs the start-up steps and returns the shown main window with what it
// works on, listing files (a folder: the audio files below it). When FFmpeg can't be used the
// reason has been shown through dialogs, nothing was saved, and the result is null: the program
// ends. Without a sound device the window works, but plays nothing.
std::unique_ptr<Application> startApplication(Dialogs& dialogs, const QStringList& files = {});

}  // namespace gui
