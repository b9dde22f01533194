#pragma once
// The main window: the source list, the commands that act on it, the output
// options, and the batch that converts the rows. Conversions run in the
// core's batch on worker threads; the window only starts, stops, answers
// the batch's questions and shows what its signals report.

#include "core/Batch.h"
#include "core/Settings.h"
#include "gui/BatchStatusBar.h"
#include "gui/DesktopNotifier.h"
#include "gui/MainWindowUi.h"
#include "gui/OutputOptionsBox.h"
#include "gui/Preview.h"
#include "gui/SourceList.h"

#include <QHash>
#include <QMainWindow>
#include <QStringList>

#include <memory>

class QMimeData;

namespace playback {
class AudioDevice;
}

namespace gui {

class Dialogs;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // settingsPath: where the settings are saved when the window closes.
    // device: none when no sound output could be opened.
    MainWindow(playback::AudioDevice* device, Dialogs& dialogs, QString settingsPath,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    const MainWindowUi& ui() const { return ui_; }
    SourceList& rows() { return rows_; }
    // Null once the window has closed.
    core::Batch* batch() { return batch_.get(); }

    // Puts settings into the controls; the encoder settings are kept for the next run.
    void showSettings(const core::Settings& settings);
    // The settings as the controls, the encoder settings dialog and the
    // window's geometry left them.
    core::Settings currentSettings() const;
    // The remembered size and position, else the designed size, centred.
    void placeWindow();
    void centerOnScreen();

    void addFiles();
    // A folder chosen in the folder browser: the audio files below it.
    void addFolder();
    // Files as given, and the audio files below each folder.
    void addPaths(const QStringList& paths);
    void removeSelected();
    void removeAll();
    void play();
    // Ends a preview; with none playing, asks a running conversion to stop.
    void stop();
    // What closing does, whatever dialog is open: the run ends, its
    // temporary files go, the settings are saved. Once.
    void shutDown();
    void startConversion();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Mode {
        Idle,
        Previewing,
        Converting,
        Stopping,  // stop was asked; the batch is still winding down
    };

    bool runActive() const;
    void setMode(Mode mode);
    void updateCommands();
    void installDropTargets();
    void connectCommands();
    void connectBatch();
    void browseForDestination();
    QString openDialogFolder() const;
    ExampleSource exampleSource() const;
    void dropOnDestination(const QMimeData* data);
    void popupContextMenu(const QPoint& atInList);

    void jobStarted(int job);
    void jobProgress(int job, qint64 decoded, qint64 length);
    void jobFinished(int job, const core::JobResult& result);
    void waveFormatNeeded(const QByteArray& current);
    void batchFinished(core::BatchEnd end);
    // The title and the taskbar carry the whole batch's percentage while it runs.
    void showBatchPercent(int percent);
    // The shell's "Open"; when the desktop can't, a message says so.
    void openOrSay(const QUrl& url, const QString& failure);

    MainWindowUi ui_;
    Dialogs& dialogs_;
    QString settingsPath_;
    core::Settings settings_;
    SourceList rows_;
    Preview preview_;
    BatchStatusBar status_;
    DesktopNotifier desktop_;
    Mode mode_ = Mode::Idle;
    QStringList jobSources_;  // the sources of the batch that runs, by job
    QString lastStartedSource_;
    int lastStartedRow_ = -1;
    QHash<int, std::pair<QString, QString>> earlierStatus_;  // status and tooltip, by job
    int previewRow_ = -1;  // the row that shows "Playing...", and what it showed before
    QString previewStatus_;
    QString previewStatusTip_;
    bool closed_ = false;
    bool selectAllOnRelease_ = false;
    std::unique_ptr<core::Batch> batch_;  // last: its workers stop before the rest goes
};

}  // namespace gui
