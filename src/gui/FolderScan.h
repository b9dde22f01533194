#pragma once
// Adding a big folder must not freeze the window: a worker thread walks the
// folders (the core's walk) and hands what it finds to the GUI thread in
// small batches, so rows appear as the files are found.

#include "gui/WorkQueue.h"

#include <QObject>
#include <QStringList>

#include <functional>

namespace gui {

class FolderScan : public QObject {
    Q_OBJECT
public:
    // GUI thread: paths found, in order, and for each the folder it was
    // added from (empty for a file named on its own).
    using Found = std::function<void(const QStringList& paths, const QStringList& addedFrom)>;

    // Going away ends the walk after the entry it is at.
    explicit FolderScan(Found found, QObject* parent = nullptr);

    // Files as they are and, for each folder, the audio files below it, in
    // order and after everything added before.
    void add(const QStringList& paths);
    // Paths handed to add() are still being walked.
    bool busy() const { return pending_ > 0; }

private:
    void scan(const QStringList& request, const std::stop_token& stop);  // worker thread

    Found found_;
    int pending_ = 0;               // requests not yet fully delivered; GUI thread
    WorkQueue<QStringList> queue_;  // last: stopped before the rest goes
};

}  // namespace gui
