#include "gui/AudioFiles.h"

#include "core/NativePath.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <set>
#include <utility>
#include <vector>

namespace gui {

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

bool hasAudioExtension(const QByteArray& name) {
    const qsizetype dot = name.lastIndexOf('.');
    return dot > 0 && audioExtensions().contains(QString::fromLatin1(name.mid(dot + 1)).toLower());
}

// Native paths, so that names which are not UTF-8 survive and sort by their bytes.
void walk(const QByteArray& folder, std::set<std::pair<dev_t, ino_t>>& visited,
          std::vector<QByteArray>& found) {
    struct stat st {};
    if (::stat(folder.constData(), &st) != 0 || !visited.insert({st.st_dev, st.st_ino}).second)
        return;
    std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.constData()));
    if (!dir) return;
    std::vector<QByteArray> names;
    while (const dirent* entry = ::readdir(dir.get())) {
        const QByteArray name(entry->d_name);
        if (!name.startsWith('.')) names.push_back(name);  // hidden entries, "." and ".."
    }
    dir.reset();
    const QByteArray prefix = folder.endsWith('/') ? folder : folder + '/';
    for (const QByteArray& name : names) {
        const QByteArray path = prefix + name;
        struct stat child {};
        if (::stat(path.constData(), &child) != 0) continue;  // a broken link
        if (S_ISDIR(child.st_mode))
            walk(path, visited, found);
        else if (S_ISREG(child.st_mode) && hasAudioExtension(name))
            found.push_back(path);
    }
}

}  // namespace

const QStringList& audioExtensions() {
    static const QStringList list{"mp3",  "mp2", "mpeg", "wav",  "ogg", "oga", "opus",
                                  "flac", "m4a", "aac",  "aiff", "aif", "wma", "ape",
                                  "wv",   "mka", "vox",  "raw",  "pcm"};
    return list;
}

bool isFolder(const QString& path) {
    struct stat st {};
    return !path.isEmpty() && ::stat(core::nativePath(path).constData(), &st) == 0 &&
           S_ISDIR(st.st_mode);
}

QStringList audioFilesBelow(const QString& folder) {
    std::set<std::pair<dev_t, ino_t>> visited;
    std::vector<QByteArray> found;
    walk(core::nativePath(folder), visited, found);
    std::sort(found.begin(), found.end());
    QStringList paths;
    paths.reserve(qsizetype(found.size()));
    for (const QByteArray& path : found) paths.append(core::pathFromNative(path));
    return paths;
}

QStringList withFoldersExpanded(const QStringList& paths) {
    QStringList out;
    for (const QString& path : paths) {
        if (isFolder(path))
            out += audioFilesBelow(path);
        else
            out.append(path);
    }
    return out;
}

QString absolutePath(const QString& path) {
    if (path.isEmpty() || path.startsWith(QLatin1Char('/'))) return path;
    std::unique_ptr<char, decltype(&::free)> cwd(::getcwd(nullptr, 0), &::free);
    if (!cwd) return path;
    QString folder = core::pathFromNative(QByteArrayView(cwd.get()));
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder + path;
}

}  // namespace gui
