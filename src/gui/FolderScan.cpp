#include "gui/FolderScan.h"

#include "core/AudioFiles.h"

#include <QElapsedTimer>

namespace gui {

namespace {

constexpr int kBatchFiles = 500;
constexpr int kBatchMs = 100;

}  // namespace

FolderScan::FolderScan(Found found, QObject* parent)
    : QObject(parent),
      found_(std::move(found)),
      queue_([this](const QStringList& request, const std::stop_token& stop) {
          scan(request, stop);
      }) {}

void FolderScan::add(const QStringList& paths) {
    ++pending_;
    queue_.push(paths);
}

void FolderScan::scan(const QStringList& request, const std::stop_token& stop) {
    QStringList paths, addedFrom;
    QElapsedTimer sinceSent;
    sinceSent.start();
    const auto send = [&](bool last) {
        QMetaObject::invokeMethod(
            this,
            [this, paths, addedFrom, last] {
                if (!paths.isEmpty()) found_(paths, addedFrom);
                if (last) --pending_;
            },
            Qt::QueuedConnection);
        paths.clear();
        addedFrom.clear();
        sinceSent.restart();
    };
    core::FolderWalk walk([&stop] { return stop.stop_requested(); });
    for (const QString& path : request) {
        if (!core::isFolder(path)) {
            paths << path;
            addedFrom << QString();
            continue;
        }
        const bool walked = walk.walk(path, [&](const QString& file) {
            paths << file;
            addedFrom << path;
            if (paths.size() >= kBatchFiles || sinceSent.elapsed() >= kBatchMs) send(false);
        });
        if (!walked) return;
    }
    send(true);
}

}  // namespace gui
