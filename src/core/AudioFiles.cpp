#include "core/AudioFiles.h"

#include "core/NativePath.h"
#include "core/OutputFormats.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

namespace core {

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

struct Entry {
    QByteArray sortKey;  // a folder's name ends in "/", so entries come in full-path order
    QByteArray name;
    bool folder;
};

}  // namespace

const QStringList& audioExtensions() {
    static const QStringList list = [] {
        QStringList out;
        for (const FormatInfo& format : outputFormats())
            if (!out.contains(QLatin1String(format.extension)))
                out << QLatin1String(format.extension);
        // What the decoder reads besides what this program writes.
        out << QStringList{"mp2",  "mpeg", "vox", "raw", "pcm", "oga", "m4b", "aac",  "aiff", "aif",
                           "aifc", "wma",  "ape", "mka", "mp1", "mpa", "mpg", "wave", "au",   "snd",
                           "ac3",  "dts",  "amr", "caf", "w64", "tta", "spx", "mpc",  "gsm"};
        return out;
    }();
    return list;
}

bool hasAudioExtension(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot > slash + 1 && audioExtensions().contains(path.mid(dot + 1).toLower());
}

bool isFolder(const QString& path) {
    struct stat st {};
    return !path.isEmpty() && ::stat(nativePath(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

QString subFolderBelow(const QString& path, const QString& addedFrom) {
    if (addedFrom.isEmpty()) return {};
    const QString root =
        addedFrom.endsWith(QLatin1Char('/')) ? addedFrom : addedFrom + QLatin1Char('/');
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (!path.startsWith(root) || slash < root.size()) return {};
    return path.mid(root.size(), slash + 1 - root.size());
}

bool FolderWalk::walk(const QString& folder, const std::function<void(const QString&)>& found) {
    return walkFolder(nativePath(folder), found);
}

// Native bytes all the way, so that names which are not UTF-8 survive and sort by their bytes.
bool FolderWalk::walkFolder(const QByteArray& folder,
                            const std::function<void(const QString&)>& found) {
    struct stat st {};
    if (::stat(folder.constData(), &st) != 0 || !visited_.insert({st.st_dev, st.st_ino}).second)
        return true;
    std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.constData()));
    if (!dir) {
        errors_ << QStringLiteral("%1: %2").arg(pathFromNative(folder),
                                                QString::fromLocal8Bit(std::strerror(errno)));
        return true;
    }
    const QByteArray prefix = folder.endsWith('/') ? folder : folder + '/';
    std::vector<Entry> entries;
    while (const dirent* entry = ::readdir(dir.get())) {
        const QByteArray name(entry->d_name);
        if (name.startsWith('.')) continue;  // hidden entries, "." and ".."
        struct stat child {};
        if (::stat((prefix + name).constData(), &child) != 0) continue;  // a broken link
        if (S_ISDIR(child.st_mode))
            entries.push_back({name + '/', name, true});
        else if (S_ISREG(child.st_mode) && hasAudioExtension(pathFromNative(name)))
            entries.push_back({name, name, false});
    }
    dir.reset();
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.sortKey < b.sortKey; });
    for (const Entry& entry : entries) {
        if (stop_ && stop_()) return false;
        if (entry.folder) {
            if (!walkFolder(prefix + entry.name, found)) return false;
        } else {
            found(pathFromNative(prefix + entry.name));
        }
    }
    return true;
}

}  // namespace core
