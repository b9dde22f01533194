#pragma once
// The batch lives in the list view itself: one row per source file with its
// path, title, length, size text and status text, in the order the files
// were added. SourceList is a thin handle on that view; it owns only the
// reader that fills in titles and lengths.

#include <QIcon>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <memory>

class QMimeData;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace gui {
class Dialogs;
class FolderScan;
class RowDetails;
}  // namespace gui

namespace gui {

enum Column : int {
    kPathColumn = 0,
    kTitleColumn = 1,   // "artist - title", read in the background
    kLengthColumn = 2,  // "m:ss", read in the background
    kSizeColumn = 3,
    kStatusColumn = 4,
    kColumnCount = 5,
};
// The status cell's percentage while its row converts; none otherwise.
inline constexpr int kProgressRole = Qt::UserRole + 1;
// The path cell's folder the row was added from; empty for a file added on its own.
inline constexpr int kAddedFromRole = Qt::UserRole + 2;

// "999", "976 Kb", "4 Mb": decimal thresholds, binary divisors.
QString sizeText(qint64 bytes);

// Title and filter table of the Open dialog, in Qt's filter syntax.
QString openDialogTitle();
QString openDialogFilter();

// Local file paths a drag carries, in the drag source's order.
QStringList droppedPaths(const QMimeData* data);

class SourceList {
public:
    SourceList(QTreeWidget* view, QIcon rowIcon);
    ~SourceList();

    QTreeWidget* view() const { return view_; }

    // Rows are 0-based here; the top row is 0.
    int count() const;
    QString path(int row) const;  // empty for a row that does not exist
    QString addedFrom(int row) const;
    QString sizeText(int row) const;
    QString status(int row) const;
    QString statusTip(int row) const;
    // why: the status cell's tooltip (a failure's reason); empty clears it.
    void setStatus(int row, const QString& text, const QString& why = QString());
    // A running row: its status text drawn on a bar filled to percent.
    void setProgress(int row, int percent);

    int selectedRow() const;  // the first selected row; -1 when no row is selected
    // The row Play plays: the current row when it is selected; -1 otherwise.
    int playRow() const;
    // A converted row's path tooltip also names its output.
    void setOutput(int row, const QString& outputPath);
    QString selectedPath() const;
    void setSelectedStatus(const QString& text);  // no selection: nothing happens
    void select(int row);                         // the selected and current row
    void scrollTo(int row);
    bool isInView(int row) const;  // some of it shows in the list's viewport

    // Appends a row for each file of non-zero size, in order, all in one
    // step so that thousands of files go in at once. addedFrom: for each
    // path the folder it was added from (none: added on its own). Returns
    // the rows added.
    int addFiles(const QStringList& paths, const QStringList& addedFrom = {});
    // Files as given and, for each folder, the audio files below it. With a
    // folder among them the rows appear as a worker thread finds them.
    void addPaths(const QStringList& paths);
    // Folders handed to addPaths are still being walked.
    bool adding() const;
    // Shows the Open dialog over owner, opened in folder, and adds what was
    // chosen. Returns the chosen paths.
    QStringList addFromOpenDialog(gui::Dialogs& dialogs, QWidget* owner, const QString& folder);

    // Removes every selected row and leaves no row selected, so a second
    // Remove removes nothing. Returns the rows removed.
    int removeSelected();
    void removeAll();

private:
    QTreeWidgetItem* item(int row) const;

    QTreeWidget* view_;
    QIcon rowIcon_;
    std::unique_ptr<RowDetails> details_;
    std::unique_ptr<FolderScan> scan_;
};

}  // namespace gui
