#include "gui/SourceList.h"

#include "core/NativePath.h"
#include "core/PathHelpers.h"
#include "gui/Dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QMimeData>
#include <QPersistentModelIndex>
#include <QTreeWidget>
#include <QUrl>

namespace gui {

QString sizeText(qint64 bytes) {
    if (bytes < 1000) return QString::number(bytes);
    if (bytes < 1000000) return QString::number(bytes / 1024) + QStringLiteral(" Kb");
    return QString::number(bytes / 1048576) + QStringLiteral(" Mb");
}

QString openDialogTitle() {
    return QStringLiteral("Select the file(s) to convert");
}

QString openDialogFilter() {
    // Each entry keeps its full description; the trailing group is the
    // space-separated pattern list Qt matches with.
    static const char* const kEntries[][2] = {
        {"All supported formats", "*.mp3 *.mp2 *.mpeg *.wav *.ogg *.vox *.raw *.pcm *.cda"},
        {"MPEG Files (*.mp3;*.mp2;*.mpeg)", "*.mp3 *.mp2 *.mpeg"},
        {"Wav Files (*.wav)", "*.wav"},
        {"OggVorbis Files (*.ogg)", "*.ogg"},
        {"VOX Files (*.vox)", "*.vox"},
        {"RAW Files (*.raw; *.pcm)", "*.raw *.pcm"},
        {"CD Audio (*.cda)", "*.cda"},
    };
    QStringList filters;
    for (const auto& entry : kEntries)
        filters.append(
            QString::fromLatin1("%1 (%2)").arg(QLatin1String(entry[0]), QLatin1String(entry[1])));
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
    : view_(view), rowIcon_(std::move(rowIcon)) {}

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

QString SourceList::sizeText(int row) const {
    const QTreeWidgetItem* it = item(row);
    return it ? it->text(kSizeColumn) : QString();
}

QString SourceList::status(int row) const {
    const QTreeWidgetItem* it = item(row);
    return it ? it->text(kStatusColumn) : QString();
}

void SourceList::setStatus(int row, const QString& text) {
    if (QTreeWidgetItem* it = item(row)) it->setText(kStatusColumn, text);
}

int SourceList::selectedRow() const {
    const QList<QTreeWidgetItem*> selected = view_->selectedItems();
    return selected.isEmpty() ? -1 : view_->indexOfTopLevelItem(selected.first());
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

bool SourceList::addSourceFile(const QString& path) {
    const qint64 n = core::fileSize(path);
    if (n == 0) return false;
    auto* row = new QTreeWidgetItem(QStringList{path});
    row->setIcon(kPathColumn, rowIcon_);
    row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren);
    view_->addTopLevelItem(row);
    row->setText(kSizeColumn, sizeText(n));
    // The yield may run a command that removes rows; find ours again afterwards.
    const QPersistentModelIndex index = view_->indexFromItem(row);
    QCoreApplication::processEvents();
    if (index.isValid()) view_->itemFromIndex(index)->setText(kStatusColumn, kNotProcessed);
    return true;
}

void SourceList::addChosenFiles(const QStringList& paths) {
    if (paths.size() == 1) {
        addSourceFile(paths.first());
        return;
    }
    for (const QString& p : paths) {
        addSourceFile(p);
        QCoreApplication::processEvents();
    }
}

void SourceList::addDroppedFiles(const QMimeData* data) {
    // Copy first: the yields inside addSourceFile may let the drag source go.
    const QStringList paths = droppedPaths(data);
    for (const QString& p : paths) addSourceFile(p);
}

void SourceList::addFromOpenDialog(gui::Dialogs& dialogs, QWidget* owner) {
    addChosenFiles(dialogs.getOpenFileNames(owner, openDialogTitle(), openDialogFilter()));
}

bool SourceList::removeSelected() {
    if (count() == 0) return false;
    const int row = selectedRow();
    if (row < 0) return false;
    delete view_->takeTopLevelItem(row);
    return true;
}

void SourceList::removeAll() {
    if (count() == 0) return;
    view_->clear();
}

}  // namespace gui
