#pragma once
// The program started as main() starts it, in a throw-away home folder (so
// settings and the documents folder never touch the real ones), with the
// dialogs that wait for a person answered by a script.

#include "gui/MainWindow.h"
#include "gui/StartApplication.h"
#include "support/gui/ScriptedDialogs.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>

namespace fixtures {

inline QTemporaryDir& home() {
    static QTemporaryDir folder;
    return folder;
}

// Before QApplication: HOME inside a temporary folder and no XDG overrides.
inline void prepareGuiEnvironment() {
    qputenv("HOME", home().path().toUtf8());
    for (const char* var : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DOCUMENTS_DIR"})
        qunsetenv(var);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER")) qputenv("SDL_AUDIODRIVER", "dummy");
}

inline QString appDataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
           QStringLiteral("/Quillmoor Sonbridge");
}
inline QString settingsFile() {
    return appDataFolder() + QStringLiteral("/settings.ini");
}

// How many of the timers below root are running.
inline int activeTimers(const QObject& root) {
    const QList<QTimer*> timers = root.findChildren<QTimer*>();
    return int(
        std::count_if(timers.begin(), timers.end(), [](QTimer* t) { return t->isActive(); }));
}

// Drops local paths on target as a file manager does; true when it was taken.
inline bool dropPaths(QWidget* target, const QStringList& paths) {
    QList<QUrl> urls;
    for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return enter.isAccepted() && drop.isAccepted();
}

struct StartedWindow {
    ScriptedDialogs dialogs;
    std::unique_ptr<gui::Application> app;

    bool start(const QStringList& files = {}) {
        app = gui::startApplication(dialogs, files);
        return app != nullptr;
    }
    gui::MainWindow& window() { return *app->window; }
    const gui::MainWindowUi& ui() { return app->window->ui(); }
    gui::SourceList& rows() { return app->window->rows(); }
    QStringList paths() {
        QStringList p;
        for (int i = 0; i < rows().count(); ++i) p << rows().path(i);
        return p;
    }
    QStringList statuses() {
        QStringList s;
        for (int i = 0; i < rows().count(); ++i) s << rows().status(i);
        return s;
    }
    // Output format (0 WAV, 1 MP3, 2 OGG), destination folder, encoder
    // settings and jobs at once, as a person would set them before a run.
    void prepareRun(int format, const QString& destination, int jobs = 1) {
        ui().outputFormatCombo->setCurrentIndex(format);
        ui().sameFolderCheck->setCheckState(Qt::Unchecked);
        ui().destinationEdit->setText(destination);
        core::Settings s = window().currentSettings();
        s.encoder = core::EncoderSettings{128, 44100, true};
        s.simultaneousConversions = jobs;
        window().showSettings(s);
    }
    // No run in progress or winding down, and its end has been shown.
    bool idle() {
        return ui().outputFormatCombo->isEnabled() && !ui().stopAction->isEnabled() &&
               window().batch() && !window().batch()->isRunning();
    }
};

}  // namespace fixtures

#define GUI_TEST_MAIN(TestClass)                \
    int main(int argc, char** argv) {           \
        fixtures::prepareGuiEnvironment();      \
        QApplication app(argc, argv);           \
        TestClass test;                         \
        return QTest::qExec(&test, argc, argv); \
    }
