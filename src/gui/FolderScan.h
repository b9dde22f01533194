#pragma once
// Adding a big folder must not freeze the window: a worker thread walks the
// folders (the core's walk) and hands what it finds to the GUI thread in
// small batches, so rows appear as the files are found.

#include <QObject>
#include <QStringList>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace gui {

class FolderScan : public QObject {
    Q_OBJECT
public:
    // GUI thread: paths found, in order, and for each the folder it was
    // added from (empty for a file named on its own).
    using Found = std::function<void(const QStringList& paths, const QStringList& addedFrom)>;

    explicit FolderScan(Found found, QObject* parent = nullptr);
    // Ends the walk after the entry it is at.
    ~FolderScan() override;

    // Files as they are and, for each folder, the audio files below it, in
    // order and after everything added before.
    void add(const QStringList& paths);
    // Paths handed to add() are still being walked.
    bool busy() const { return pending_ > 0; }

private:
    void work(const std::stop_token& stop);  // worker thread

    Found found_;
    int pending_ = 0;  // requests not yet fully delivered; GUI thread
    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::deque<QStringList> requests_;
    std::jthread worker_;  // last: stopped and joined before the rest goes
};

}  // namespace gui
