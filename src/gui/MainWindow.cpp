#include "gui/MainWindow.h"

#include "core/AudioFiles.h"
#include "core/NativePath.h"
#include "core/PathHelpers.h"
#include "core/ProductInfo.h"
#include "core/Progress.h"
#include "core/WaveFormat.h"
#include "gui/AboutDialog.h"
#include "gui/Dialogs.h"
#include "gui/DropTargets.h"
#include "gui/EncoderSettingsDialog.h"
#include "gui/Icons.h"
#include "gui/Twips.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>

namespace gui {

namespace {

constexpr int kContextMenuOffsetTwips = 10;

Qt::CheckState toCheckState(int box) {
    return box == 1 ? Qt::Checked : box == 2 ? Qt::PartiallyChecked : Qt::Unchecked;
}

int toBoxState(Qt::CheckState state) {
    return state == Qt::Checked ? 1 : state == Qt::PartiallyChecked ? 2 : 0;
}

// A grey box counts as unticked.
bool ticked(const QCheckBox* box) {
    return box->checkState() == Qt::Checked;
}

// A relative folder is taken as the home folder's, never the program's own.
QString destinationFolder(const QString& text) {
    if (text.trimmed().isEmpty() || !QDir::isRelativePath(text)) return text;
    return QDir::cleanPath(QDir::home().filePath(text));
}

// Beside the program when run from its build folder, else where it was installed.
QString manualPath() {
    const QString dir = QCoreApplication::applicationDirPath();
    const QStringList candidates{
        dir + QStringLiteral("/manual.html"),
        dir + QStringLiteral("/../" SONBRIDGE_DATA_DIR "/sonbridge/manual.html"),
        QStringLiteral(SONBRIDGE_FULL_DATA_DIR "/sonbridge/manual.html")};
    for (const QString& path : candidates)
        if (QFileInfo(path).isFile()) return QFileInfo(path).canonicalFilePath();
    return candidates.last();
}

QString statusText(core::JobOutcome outcome) {
    switch (outcome) {
        case core::JobOutcome::Converted:
            return MainWindow::tr("Converted.");
        case core::JobOutcome::Terminated:
            return MainWindow::tr("Terminated.");
        case core::JobOutcome::Skipped:
            return MainWindow::tr("Skipped.");
        case core::JobOutcome::Failed:
        case core::JobOutcome::Withdrawn:
            break;
    }
    return MainWindow::tr("Failed.");
}

}  // namespace

MainWindow::MainWindow(playback::AudioDevice* device, Dialogs& dialogs, QString settingsPath,
                       QWidget* parent)
    : QMainWindow(parent),
      ui_(this),
      dialogs_(dialogs),
      settingsPath_(std::move(settingsPath)),
      rows_(ui_.sourceList, audioFileIcon()),
      preview_(device, this),
      status_(statusBar()),
      batch_(std::make_unique<core::Batch>(this)) {
    setObjectName(QStringLiteral("mainWindow"));
    connect(&status_, &BatchStatusBar::percentChanged, this, &MainWindow::showBatchPercent);
    installDropTargets();
    connectCommands();
    connectBatch();
    updateCommands();
}

MainWindow::~MainWindow() {
    // The list empties itself as its children go; the commands are gone by then.
    ui_.sourceList->model()->disconnect(this);
}

void MainWindow::installDropTargets() {
    auto* accept = DropFilter::acceptingFiles(
        [this](const QMimeData* data) { addPaths(droppedPaths(data)); }, this);
    const MainWindowUi& u = ui_;
    for (QWidget* w : std::initializer_list<QWidget*>{
             u.mainPanel, u.sourceList, u.sourceList->viewport(), u.addFilesHint, u.addFilesLink,
             u.filesCaption, u.formatCaption, u.outputFormatCombo, u.settingsButton,
             u.destinationCaption, u.removeButton, u.sameFolderCheck, u.destinationTip, u.addButton,
             u.playButton, u.stopButton, u.startButton})
        accept->install(w);
    // A folder dropped here becomes the destination; files are added as anywhere else.
    auto* destination = DropFilter::acceptingFiles(
        [this](const QMimeData* data) { dropOnDestination(data); }, this);
    destination->install(u.destinationEdit);
    destination->install(u.browseButton);
    // These would otherwise hand their drops on to the main panel.
    auto* refuse = DropFilter::refusingAll(this);
    refuse->install(u.openFolderCheck);
    refuse->install(u.destinationPanel);
}

void MainWindow::connectCommands() {
    const MainWindowUi& u = ui_;
    connect(u.addFilesAction, &QAction::triggered, this, &MainWindow::addFiles);
    connect(u.addFolderAction, &QAction::triggered, this, &MainWindow::addFolder);
    connect(u.contextAddAction, &QAction::triggered, this, &MainWindow::addFiles);
    connect(u.removeAction, &QAction::triggered, this, &MainWindow::removeSelected);
    connect(u.removeAllAction, &QAction::triggered, this, &MainWindow::removeAll);
    connect(u.playAction, &QAction::triggered, this, &MainWindow::play);
    connect(u.stopAction, &QAction::triggered, this, &MainWindow::stop);
    connect(u.convertAction, &QAction::triggered, this, &MainWindow::startConversion);
    connect(u.quitAction, &QAction::triggered, this, &QWidget::close);
    connect(u.contentsAction, &QAction::triggered, this, [this] {
        const QString manual = manualPath();
        openOrSay(QUrl::fromLocalFile(manual),
                  tr("The manual %1 could not be opened: the desktop has no program set to open "
                     "web pages.")
                      .arg(manual));
    });
    connect(u.homePageAction, &QAction::triggered, this, [this] {
        openOrSay(QUrl(core::homePageUrl()),
                  tr("The home page could not be opened: the desktop has no program set to open "
                     "web pages."));
    });
    connect(u.aboutAction, &QAction::triggered, this, [this] { showAbout(this, dialogs_); });
    connect(u.settingsButton, &QPushButton::clicked, this, [this] {
        // The dialog shows the choices of the format picked now.
        settings_.formatIndex = static_cast<qint16>(ui_.outputFormatCombo->currentIndex());
        showEncoderSettings(this, settings_, exampleSource());
    });
    connect(u.browseButton, &QPushButton::clicked, this, &MainWindow::browseForDestination);
    connect(u.sameFolderCheck, &QCheckBox::stateChanged, this,
            [this] { ui_.applyDestinationLayout(ticked(ui_.sameFolderCheck)); });
    connect(&preview_, &Preview::ended, this, &MainWindow::stop);

    // The hint and the commands that need rows follow the list.
    QAbstractItemModel* model = u.sourceList->model();
    connect(model, &QAbstractItemModel::rowsInserted, this, &MainWindow::updateCommands);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &MainWindow::updateCommands);
    connect(model, &QAbstractItemModel::modelReset, this, &MainWindow::updateCommands);

    u.sourceList->installEventFilter(this);
    u.sourceList->viewport()->installEventFilter(this);
    u.addFilesLink->installEventFilter(this);
    u.destinationEdit->installEventFilter(this);
    // A relative folder is the home folder's, shown in full once entered.
    connect(u.destinationEdit, &QLineEdit::editingFinished, this, [this] {
        ui_.destinationEdit->setText(destinationFolder(ui_.destinationEdit->text()));
    });
}

void MainWindow::connectBatch() {
    core::Batch* b = batch_.get();
    connect(b, &core::Batch::jobStarted, this, [this](int job) { jobStarted(job); });
    connect(b, &core::Batch::jobProgress, this, &MainWindow::jobProgress);
    connect(b, &core::Batch::jobFinished, this, &MainWindow::jobFinished);
    // Queued: the dialogs these show run their own event loop, which should
    // not sit inside the batch's call.
    connect(
        b, &core::Batch::waveFormatNeeded, this,
        [this](int, const QByteArray& current) { waveFormatNeeded(current); },
        Qt::QueuedConnection);
    connect(b, &core::Batch::finished, this, &MainWindow::batchFinished, Qt::QueuedConnection);
}

// ---- settings and geometry

void MainWindow::showSettings(const core::Settings& settings) {
    settings_ = settings;
    ui_.sameFolderCheck->setCheckState(toCheckState(settings.sameFolderBox));
    ui_.openFolderCheck->setCheckState(toCheckState(settings.openFolderBox));
    ui_.destinationEdit->setText(destinationFolder(settings.destination));
    ui_.stopAtFailureCheck->setChecked(settings.stopAtFirstFailure);
    // An index the list does not have leaves the selection as it was.
    if (settings.formatIndex >= -1 && settings.formatIndex < ui_.outputFormatCombo->count())
        ui_.outputFormatCombo->setCurrentIndex(settings.formatIndex);
    ui_.applyDestinationLayout(ticked(ui_.sameFolderCheck));
}

core::Settings MainWindow::currentSettings() const {
    core::Settings s = settings_;
    s.sameFolderBox = toBoxState(ui_.sameFolderCheck->checkState());
    s.openFolderBox = toBoxState(ui_.openFolderCheck->checkState());
    s.destination = ui_.destinationEdit->text();
    s.stopAtFirstFailure = ui_.stopAtFailureCheck->isChecked();
    s.formatIndex = static_cast<qint16>(ui_.outputFormatCombo->currentIndex());
    if (isVisible()) s.windowGeometry = QString::fromLatin1(saveGeometry().toBase64());
    return s;
}

void MainWindow::placeWindow() {
    const QByteArray saved = QByteArray::fromBase64(settings_.windowGeometry.toLatin1());
    if (!saved.isEmpty() && restoreGeometry(saved)) return;
    resize(ui_.defaultWindowSize());
    centerOnScreen();
}

void MainWindow::centerOnScreen() {
    create();  // the frame's margins are known once the native window exists
    const QScreen* s = screen();
    if (!s) return;
    QRect frame = frameGeometry();
    frame.moveCenter(s->availableGeometry().center());
    move(frame.topLeft());
}

// ---- what is usable when

bool MainWindow::runActive() const {
    return mode_ == Mode::Converting || mode_ == Mode::Stopping;
}

void MainWindow::setMode(Mode mode) {
    mode_ = mode;
    updateCommands();
}

void MainWindow::updateCommands() {
    const MainWindowUi& u = ui_;
    const bool hasRows = rows_.count() > 0;
    u.addFilesHint->setVisible(!hasRows);
    // A preview or a run in progress locks the list and its commands; a
    // run also locks what it reads: format, encoder settings, destination.
    const bool busy = mode_ == Mode::Previewing || mode_ == Mode::Converting;
    const bool running = runActive();
    for (QAction* a : {u.addFilesAction, u.addFolderAction, u.contextAddAction})
        a->setEnabled(!busy);
    for (QAction* a : {u.removeAction, u.removeAllAction, u.convertAction})
        a->setEnabled(!busy && hasRows);
    // Without a sound device converting works; only Play says why it can't.
    u.playAction->setEnabled(!busy && hasRows && preview_.canPlay());
    u.playButton->setToolTip(preview_.canPlay() ? QString() : tr("No sound output device"));
    u.stopAction->setEnabled(busy);
    // The list stays readable and scrollable; the disabled commands keep its rows as they are.
    for (QWidget* w : std::initializer_list<QWidget*>{
             u.outputFormatCombo, u.settingsButton, u.sameFolderCheck, u.openFolderCheck,
             u.stopAtFailureCheck, u.destinationEdit, u.browseButton})
        w->setEnabled(!running);
}

// ---- the list

void MainWindow::addFiles() {
    const QStringList chosen = rows_.addFromOpenDialog(dialogs_, this, openDialogFolder());
    if (chosen.isEmpty()) return;
    QString folder = core::folderOf(chosen.first());
    if (folder.size() > 1) folder.chop(1);
    settings_.openFolder = folder;
}

void MainWindow::addFolder() {
    const QString folder = dialogs_.browseForFolder(this);
    if (!folder.isEmpty()) rows_.addPaths({folder});
}

// The selected row, else the first: what the output-name example shows.
ExampleSource MainWindow::exampleSource() const {
    const int row = rows_.selectedRow() >= 0 ? rows_.selectedRow() : 0;
    return ExampleSource{rows_.path(row), rows_.addedFrom(row)};
}

void MainWindow::addPaths(const QStringList& paths) {
    rows_.addPaths(paths);
}

// Where it was last used, else the Music folder, else home.
QString MainWindow::openDialogFolder() const {
    for (const QString& folder :
         {settings_.openFolder, QStandardPaths::writableLocation(QStandardPaths::MusicLocation)})
        if (core::isFolder(folder)) return folder;
    return QDir::homePath();
}

void MainWindow::dropOnDestination(const QMimeData* data) {
    QStringList paths = droppedPaths(data);
    // The destination is what a run reads: it stays while one is active.
    const auto folder = std::find_if(paths.begin(), paths.end(), core::isFolder);
    if (folder != paths.end() && !runActive()) {
        ui_.destinationEdit->setText(*folder);
        ui_.sameFolderCheck->setCheckState(Qt::Unchecked);
        paths.erase(folder);
    }
    addPaths(paths);
}

void MainWindow::removeSelected() {
    // A run writes into its rows, a preview into its own.
    if (mode_ != Mode::Idle) return;
    rows_.removeSelected();
}

void MainWindow::removeAll() {
    if (mode_ != Mode::Idle) return;
    rows_.removeAll();
}

void MainWindow::browseForDestination() {
    const QString folder = dialogs_.browseForFolder(this);
    if (!folder.isEmpty()) ui_.destinationEdit->setText(folder);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    const MainWindowUi& u = ui_;
    if (watched == u.sourceList->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton)
            popupContextMenu(
                u.sourceList->viewport()->mapTo(u.sourceList, mouse->position().toPoint()));
    } else if (watched == u.sourceList && event->type() == QEvent::KeyPress) {
        // The Menu key and Shift+F10 open the menu at the current row.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Menu ||
            (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier)) {
            QTreeWidgetItem* current = u.sourceList->currentItem();
            const QRect row = current ? u.sourceList->visualItemRect(current) : QRect(0, 0, 0, 0);
            popupContextMenu(u.sourceList->viewport()->mapTo(u.sourceList, row.bottomLeft()));
            return true;
        }
    } else if (watched == u.addFilesLink && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            u.addFilesLink->rect().contains(mouse->position().toPoint()))
            addFiles();
    } else if (watched == u.destinationEdit) {
        // The whole destination is selected however the box gets the focus; a
        // click would otherwise put the caret where it landed.
        if (event->type() == QEvent::FocusIn) {
            u.destinationEdit->selectAll();
            selectAllOnRelease_ =
                static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason;
        } else if (event->type() == QEvent::MouseButtonRelease && selectAllOnRelease_) {
            selectAllOnRelease_ = false;
            if (!u.destinationEdit->hasSelectedText()) u.destinationEdit->selectAll();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// Just below and to the right of the point.
void MainWindow::popupContextMenu(const QPoint& atInList) {
    const int offset = twipsToPx(kContextMenuOffsetTwips);
    ui_.contextMenu->popup(ui_.sourceList->mapToGlobal(atInList + QPoint(offset, offset)));
}

// ---- preview

void MainWindow::play() {
    if (mode_ != Mode::Idle) return;  // a stopped run may still be winding down
    const int row = rows_.playRow();
    const QString path = rows_.path(row);
    if (path.isEmpty() || !preview_.play(path)) return;
    previewRow_ = row;
    previewStatus_ = rows_.status(previewRow_);
    previewStatusTip_ = rows_.statusTip(previewRow_);
    rows_.setStatus(previewRow_, tr("Playing..."));
    setMode(Mode::Previewing);
}

void MainWindow::stop() {
    if (preview_.isOpen()) {
        preview_.stop();
        rows_.setStatus(previewRow_, previewStatus_, previewStatusTip_);
        previewRow_ = -1;
        setMode(Mode::Idle);
    } else if (batch_ && batch_->isRunning()) {
        batch_->stop();
        // The commands come back at once; the run refuses them until it has ended.
        setMode(Mode::Stopping);
    }
}

// ---- conversion

void MainWindow::startConversion() {
    // Refused while a stopped run winds down, until its end has been shown.
    if (mode_ != Mode::Idle || !batch_ || batch_->isRunning()) return;
    const int count = rows_.count();  // rows added during the run wait for the next one
    if (count == 0) {
        dialogs_.message(this, QMessageBox::Warning, core::kAppTitle, tr("No files to convert"));
        return;
    }
    // An empty destination would mean the root folder.
    if (!ticked(ui_.sameFolderCheck) && ui_.destinationEdit->text().trimmed().isEmpty()) {
        dialogs_.message(this, QMessageBox::Warning, core::kAppTitle,
                         tr("Choose a destination folder"));
        return;
    }
    ui_.destinationEdit->setText(destinationFolder(ui_.destinationEdit->text()));
    QList<core::JobSpec> jobs;
    jobs.reserve(count);
    jobSources_.clear();
    earlierStatus_.clear();
    for (int row = 0; row < count; ++row) {
        core::JobSpec spec;
        spec.source = rows_.path(row);
        spec.format = core::outputFormatFromIndex(ui_.outputFormatCombo->currentIndex());
        spec.encoder = settings_.encoder;
        spec.copyTags = settings_.copyTags;
        spec.sameFolder = ticked(ui_.sameFolderCheck);
        spec.destination = ui_.destinationEdit->text();
        spec.existing = settings_.existingOutputs;
        spec.namePattern = settings_.namePattern;
        spec.addedFrom = rows_.addedFrom(row);
        spec.recreateSubFolders = settings_.recreateSubFolders;
        spec.replayGain = settings_.replayGain;
        jobSources_.append(spec.source);
        jobs.append(spec);
    }
    lastStartedSource_.clear();
    lastStartedRow_ = -1;
    batch_->setMaxSimultaneous(settings_.simultaneousConversions);
    batch_->setStopAtFirstFailure(ui_.stopAtFailureCheck->isChecked());
    setMode(Mode::Converting);  // before start: the first jobs report at once
    status_.start(jobSources_);
    if (!batch_->start(jobs)) {
        status_.finish();
        setMode(Mode::Idle);
    }
}

void MainWindow::showBatchPercent(int percent) {
    setWindowTitle(percent < 0 ? core::kProductName
                               : tr("%1% - %2").arg(percent).arg(core::kProductName));
    desktop_.showProgress(percent);
}

void MainWindow::jobStarted(int job) {
    // The list follows the run unless the person has scrolled away from it.
    const bool following = lastStartedRow_ < 0 || rows_.isInView(lastStartedRow_);
    lastStartedSource_ = jobSources_.value(job);
    lastStartedRow_ = job;
    earlierStatus_[job] = {rows_.status(job), rows_.statusTip(job)};
    rows_.select(job);
    if (following) rows_.scrollTo(job);
    rows_.setStatus(job, tr("Processing..."));
}

void MainWindow::jobProgress(int job, qint64 decoded, qint64 length) {
    if (const auto percent = core::progressPercent(decoded, length)) {
        rows_.setProgress(job, *percent);
        status_.setFraction(job, double(decoded) / double(length));
    }
}

void MainWindow::jobFinished(int job, const core::JobResult& result) {
    status_.setDone(job, result, jobSources_.value(job));
    if (result.outcome == core::JobOutcome::Withdrawn) {
        // Another job's failure ended the run before this one wrote anything.
        const auto earlier = earlierStatus_.value(job);
        rows_.setStatus(job, earlier.first, earlier.second);
        return;
    }
    // The tooltip says why a row failed, or what a converted row's output
    // does differently from what was asked (a bitrate the encoder can't reach).
    rows_.setStatus(job, statusText(result.outcome),
                    result.outcome == core::JobOutcome::Failed ? result.reason : result.note);
    if (result.outcome == core::JobOutcome::Converted) rows_.setOutput(job, result.outputPath);
}

void MainWindow::waveFormatNeeded(const QByteArray& current) {
    const WaveFormatChoice choice = dialogs_.chooseWaveFormat(this, core::waveFormats(), current);
    if (!batch_) return;  // closed meanwhile
    batch_->answerWaveFormat(choice.chosen ? std::optional(choice.waveFormatEx) : std::nullopt,
                             choice.useForRestOfBatch);
}

void MainWindow::batchFinished(core::BatchEnd end) {
    if (closed_) return;
    const bool failures = status_.failed() > 0;
    const QString summary =
        end == core::BatchEnd::Stopped ? tr("Conversion stopped") : status_.summary();
    QString details = failures ? status_.failureList() : QString();
    // Said once, with whatever the end says.
    if (const int leftovers = batch_->unfinishedFilesRemoved(); leftovers > 0)
        details += (details.isEmpty() ? QString() : QStringLiteral("\n\n")) +
                   core::unfinishedFilesRemovedText(leftovers);
    status_.finish();
    // A person who went on with something else hears of the end there.
    if (!isActiveWindow()) desktop_.notify(summary, details);
    // The rows' tooltips keep each reason; the box names the failed files.
    dialogs_.message(this, failures ? QMessageBox::Warning : QMessageBox::Information,
                     core::kAppTitle,
                     details.isEmpty() ? summary : summary + QStringLiteral("\n\n") + details);
    if (end != core::BatchEnd::Failed && ticked(ui_.openFolderCheck)) {
        const QString folder = ticked(ui_.sameFolderCheck) ? core::folderOf(lastStartedSource_)
                                                           : ui_.destinationEdit->text();
        openOrSay(core::urlFromPath(folder),
                  tr("The folder %1 could not be opened: the desktop has no program set to "
                     "open folders.")
                      .arg(folder));
    }
    setMode(Mode::Idle);
}

void MainWindow::openOrSay(const QUrl& url, const QString& failure) {
    if (!dialogs_.openUrl(url))
        dialogs_.message(this, QMessageBox::Warning, core::kAppTitle, failure);
}

// ---- closing

void MainWindow::closeEvent(QCloseEvent* event) {
    // Disabled under the encoder settings or the About box: that dialog closes first.
    if (!isEnabled()) {
        event->ignore();
        return;
    }
    shutDown();
    event->accept();
}

void MainWindow::shutDown() {
    if (closed_) return;
    closed_ = true;
    // Running jobs end after their current block and their encoders are
    // reaped before the settings are written.
    batch_.reset();
    preview_.stop();
    core::saveSettings(currentSettings(), settingsPath_);
}

}  // namespace gui
