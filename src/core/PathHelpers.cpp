#include "core/PathHelpers.h"

#include "core/NativePath.h"

#include <QDir>

#include <sys/stat.h>
#include <unistd.h>

namespace core {

QChar pathSeparator() {
    return QDir::separator();
}

QString withoutExtension(const QString& path) {
    const qsizetype s = path.lastIndexOf(pathSeparator());
    const qsizetype d = path.lastIndexOf(QLatin1Char('.'));
    return d > s ? path.left(d) : path;
}

QString nameOnly(const QString& path) {
    const qsizetype s = path.lastIndexOf(pathSeparator());
    return path.mid(s + 1);
}

QString folderOf(const QString& command) {
    const qsizetype s = command.lastIndexOf(pathSeparator());
    return s >= 0 ? command.left(s + 1) : QString();
}

// The file system is asked with the name's own bytes (see nativePath.h).
namespace {
bool StatFile(const QString& path, struct stat* st) {
    return !path.isEmpty() && ::stat(nativePath(path).constData(), st) == 0 && S_ISREG(st->st_mode);
}
}  // namespace

bool fileExists(const QString& fp) {
    struct stat st;
    return StatFile(fp, &st) && !nameOnly(fp).startsWith(QLatin1Char('.'));
}

bool entryExists(const QString& path) {
    struct stat st;
    return !path.isEmpty() && ::lstat(nativePath(path).constData(), &st) == 0;
}

QStringList createFolderRequests(const QString& fl) {
    QStringList requests;
    for (qsizetype q = fl.indexOf(pathSeparator()); q >= 0; q = fl.indexOf(pathSeparator(), q + 1))
        requests.append(fl.left(q));
    return requests;
}

void createFolder(const QString& fl) {
    for (const QString& folder : createFolderRequests(fl)) {
        // Existing folders and roots simply fail.
        if (!folder.isEmpty()) ::mkdir(nativePath(folder).constData(), 0777);
    }
}

qint64 fileSize(const QString& filename) {
    struct stat st;
    if (!StatFile(filename, &st) || ::access(nativePath(filename).constData(), R_OK) != 0) return 0;
    return st.st_size;
}

}  // namespace core
