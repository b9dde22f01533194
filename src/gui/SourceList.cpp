#include "gui/SourceList.h"

#include "core/Progress.h"

#include "core/AudioFiles.h"
#include "core/NativePath.h"
#include "core/PathHelpers.h"
#include "gui/Dialogs.h"
#include "gui/FolderScan.h"
#include "gui/RowDetails.h"

#include <QDir>
#include <QLocale>
#include <QMimeData>
#include <QTreeWidget>
#include <QUrl>

#include <algorithm>
#include <functional>

namespace gui {

QString sizeText(qint64 bytes) {
    if (bytes < 1000) return QString::number(bytes);
    if (bytes < 1000000) return QString::number(bytes / 1024) + QStringLiteral(" Kb");
    return QString::number(bytes / 1048576) + QStringLiteral(" Mb");
}

QString openDialogTitle() {
    return QObject::tr("Select the file(s) to convert");
}

QString openDialogFilter() {
    QStringList all;
    for (const QString& ext : core::audioExtensions()) all.append(QStringLiteral("*.") + ext);
    // Each entry keeps its full description; the trailing group is the
    // space-separated pattern list Qt matches with.
    static const char* const kEntries[][2] = {
        {QT_TRANSLATE_NOOP("QObject", "MPEG Files (*.mp3;*.mp2;*.mpeg)"), "*.mp3 *.mp2 *.mpeg"},
        {QT_TRANSLATE_NOOP("QObject", "Wav Files (*.wav)"), "*.wav"},
        {QT_TRANSLATE_NOOP("QObject", "OggVorbis Files (*.ogg)"), "*.ogg"},
        {QT_TRANSLATE_NOOP("QObject", "VOX Files (*.vox)"), "*.vox"},
        {QT_TRANSLATE_NOOP("QObject", "RAW Files (*.raw; *.pcm)"), "*.raw *.pcm"},
        {QT_TRANSLATE_NOOP("QObject", "FLAC Files (*.flac)"), "*.flac"},
        {QT_TRANSLATE_NOOP("QObject", "All files (*)"), "*"},
    };
    QStringList filters{QObject::tr("All supported formats (%1)").arg(all.join(QLatin1Char(' ')))};
    for (const auto& entry : kEntries)
        filters.append(
            QString::fromLatin1("%1 (%2)").arg(QObject::tr(entry[0]), QLatin1String(entry[1])));
    return filters.join(QStringLiteral(";;"));
}

QStringList droppedPaths(const QMimeData* data) {
    QStringList paths;
    if (!data || !data->hasUrls()) return paths;
    for (const QUrl& url : data->urls()) {
        // From the URL's own bytes: a name that is not UTF-8 stays openable.
        if (url.isLocalFile() && url.host().isEmpty())
            paths.append(core::pathFromNative(
                QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1())));
        else if (url.isLocalFile())
            paths.append(QDir::toNativeSeparators(url.toLocalFile()));
    }
    return paths;
}

SourceList::SourceList(QTreeWidget* view, QIcon rowIcon)
    : view_(view),
      rowIcon_(std::move(rowIcon)),
      details_(std::make_unique<RowDetails>(view->model(), kTitleColumn, kLengthColumn)),
      scan_(std::make_unique<FolderScan>(
          [this](const QStringList& paths, const QStringList& addedFrom) {
              addFiles(paths, addedFrom);
          })) {}

SourceList::~SourceList() = default;

int SourceList::count() const {
    return view_->topLevelItemCount();
}

QTreeWidgetItem* SourceList::item(int row) const {
    return row >= 0 && row < count() ? view_->topLevelItem(row) : nullptr;
}

QString SourceList::path(int row) const {
    const QTreeWidgetItem* it = item(row);
    return it ? it->text(kPathColumn) : QString();
}

QString SourceList::addedFrom(int row) const {
    const QTreeWidgetItem* it = item(row);
    return it ? it->data(kPathColumn, kAddedFromRole).toString() : QString();
}

QString SourceList::sizeText(int row) const {
    const QTreeWidgetItem* it = item(row);
    return it ? it->text(kSizeColumn) : QString();
}

QString SourceList::status(int row) const {
    const QTreeWidgetItem* it = item(row);
    return it ? it->text(kStatusColumn) : QString();
}

QString SourceList::statusTip(int row) const {
    const QTreeWidgetItem* it = item(row);
    return it ? it->toolTip(kStatusColumn) : QString();
}

void SourceList::setStatus(int row, const QString& text, const QString& why) {
    if (QTreeWidgetItem* it = item(row)) {
        it->setText(kStatusColumn, text);
        it->setToolTip(kStatusColumn, why);
        it->setData(kStatusColumn, kProgressRole, QVariant());
    }
}

void SourceList::setProgress(int row, int percent) {
    if (QTreeWidgetItem* it = item(row)) {
        it->setText(kStatusColumn, core::progressText(percent));
        it->setData(kStatusColumn, kProgressRole, percent);
    }
}

int SourceList::selectedRow() const {
    const QList<QTreeWidgetItem*> selected = view_->selectedItems();
    return selected.isEmpty() ? -1 : view_->indexOfTopLevelItem(selected.first());
}

int SourceList::playRow() const {
    QTreeWidgetItem* current = view_->currentItem();
    return current && current->isSelected() ? view_->indexOfTopLevelItem(current) : -1;
}

void SourceList::setOutput(int row, const QString& outputPath) {
    if (QTreeWidgetItem* it = item(row))
        it->setToolTip(kPathColumn, it->text(kPathColumn) + QLatin1Char('\n') +
                                        QObject::tr("Converted to %1").arg(outputPath));
}

QString SourceList::selectedPath() const {
    return path(selectedRow());
}

void SourceList::setSelectedStatus(const QString& text) {
    setStatus(selectedRow(), text);
}

void SourceList::select(int row) {
    if (QTreeWidgetItem* it = item(row)) {
        view_->setCurrentItem(it);
        view_->clearSelection();
        it->setSelected(true);
    }
}

void SourceList::scrollTo(int row) {
    if (QTreeWidgetItem* it = item(row)) view_->scrollToItem(it);
}

bool SourceList::isInView(int row) const {
    const QTreeWidgetItem* it = item(row);
    return it && view_->viewport()->rect().intersects(view_->visualItemRect(it));
}

int SourceList::addFiles(const QStringList& paths, const QStringList& addedFrom) {
    QList<QTreeWidgetItem*> rows;
    QStringList added;
    rows.reserve(paths.size());
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QString& path = paths.at(i);
        const qint64 size = core::fileSize(path);
        if (size == 0) continue;  // empty, missing, a folder or unreadable
        QStringList cells(kColumnCount);
        cells[kPathColumn] = path;
        cells[kSizeColumn] = gui::sizeText(size);
        cells[kStatusColumn] = QObject::tr("Not processed");
        auto* row = new QTreeWidgetItem(cells);
        added.append(path);
        row->setIcon(kPathColumn, rowIcon_);
        row->setToolTip(kPathColumn, path);
        row->setToolTip(kSizeColumn, QObject::tr("%1 bytes").arg(QLocale().toString(size)));
        if (i < addedFrom.size() && !addedFrom.at(i).isEmpty())
            row->setData(kPathColumn, kAddedFromRole, addedFrom.at(i));
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren);
        rows.append(row);
    }
    if (rows.isEmpty()) return 0;
    // One insertion and one repaint, however many files.
    view_->setUpdatesEnabled(false);
    const int first = view_->topLevelItemCount();
    view_->addTopLevelItems(rows);
    view_->setUpdatesEnabled(true);
    QList<QPersistentModelIndex> indexes;
    indexes.reserve(rows.size());
    for (int i = 0; i < rows.size(); ++i)
        indexes.append(QPersistentModelIndex(view_->model()->index(first + i, kPathColumn)));
    details_->read(indexes, added);
    return int(rows.size());
}

void SourceList::addPaths(const QStringList& paths) {
    // Behind a walk still running, files wait their turn to keep the order.
    if (scan_->busy() || std::any_of(paths.begin(), paths.end(), core::isFolder))
        scan_->add(paths);
    else
        addFiles(paths);
}

bool SourceList::adding() const {
    return scan_->busy();
}

QStringList SourceList::addFromOpenDialog(gui::Dialogs& dialogs, QWidget* owner,
                                          const QString& folder) {
    const QStringList chosen =
        dialogs.getOpenFileNames(owner, openDialogTitle(), openDialogFilter(), folder);
    addFiles(chosen);
    return chosen;
}

int SourceList::removeSelected() {
    QList<int> selected;
    for (QTreeWidgetItem* it : view_->selectedItems()) selected << view_->indexOfTopLevelItem(it);
    if (selected.isEmpty()) return 0;
    std::sort(selected.begin(), selected.end(), std::greater<>());
    view_->setUpdatesEnabled(false);
    for (const int row : selected) delete view_->takeTopLevelItem(row);
    view_->setUpdatesEnabled(true);
    // The view selects the next row by itself; a removal selects nothing.
    view_->clearSelection();
    return int(selected.size());
}

void SourceList::removeAll() {
    if (count() == 0) return;
    view_->clear();
}

}  // namespace gui
