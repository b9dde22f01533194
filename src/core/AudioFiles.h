#pragma once
// Which files count as audio when a folder is added, and the one walk of a
// folder that both front ends use: the audio files below it, in byte order
// of their paths, hidden entries skipped, each folder walked once however
// many links lead to it, names that are not UTF-8 kept (see NativePath.h).

#include <QString>
#include <QStringList>

#include <sys/types.h>

#include <functional>
#include <set>
#include <utility>

namespace core {

// The extensions offered to the decoder, lower case, without the dot.
const QStringList& audioExtensions();
bool hasAudioExtension(const QString& path);

// A folder (or a link to one) stands at path.
bool isFolder(const QString& path);

// The sub-folder of path below the folder it was added from, with a
// trailing "/"; empty when it lies directly in it or is not below it.
QString subFolderBelow(const QString& path, const QString& addedFrom);

// Any thread; one walk is used by one thread at a time.
class FolderWalk {
public:
    // stop is asked between entries, so that a long walk can be ended.
    explicit FolderWalk(std::function<bool()> stop = {}) : stop_(std::move(stop)) {}

    // Calls found with each audio file below folder, in path order. A folder
    // this walk has already been through (by another argument or through a
    // link) is not walked again. False when stop ended it.
    bool walk(const QString& folder, const std::function<void(const QString&)>& found);

    // "FOLDER: why" for each folder that could not be read.
    const QStringList& errors() const { return errors_; }

private:
    bool walkFolder(const QByteArray& folder, const std::function<void(const QString&)>& found);

    std::function<bool()> stop_;
    std::set<std::pair<dev_t, ino_t>> visited_;
    QStringList errors_;
};

}  // namespace core
