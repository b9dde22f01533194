#include "app/PathHelpers.h"

#include "app/NativePath.h"

#include <QDir>

#include <sys/stat.h>
#include <unistd.h>

namespace app {

QChar PathSeparator() {
    return QDir::separator();
}

QString WithoutExtension(const QString& path) {
    const qsizetype s = path.lastIndexOf(PathSeparator());
    const qsizetype d = path.lastIndexOf(QLatin1Char('.'));
    return d > s ? path.left(d) : path;
}

QString NameOnly(const QString& path) {
    const qsizetype s = path.lastIndexOf(PathSeparator());
    return path.mid(s + 1);
}

QString GetPATH(const QString& command) {
    const qsizetype s = command.lastIndexOf(PathSeparator());
    return s >= 0 ? command.left(s + 1) : QString();
}

// The file system is asked with the name's own bytes (see NativePath.h).
namespace {
bool StatFile(const QString& path, struct stat* st) {
    return !path.isEmpty() && ::stat(NativePath(path).constData(), st) == 0 && S_ISREG(st->st_mode);
}
}  // namespace

bool FileExists(const QString& fp) {
    struct stat st;
    return StatFile(fp, &st) && !NameOnly(fp).startsWith(QLatin1Char('.'));
}

bool EntryExists(const QString& path) {
    struct stat st;
    return !path.isEmpty() && ::lstat(NativePath(path).constData(), &st) == 0;
}

QStringList CreateFolderRequests(const QString& fl) {
    QStringList requests;
    for (qsizetype q = fl.indexOf(PathSeparator()); q >= 0; q = fl.indexOf(PathSeparator(), q + 1))
        requests.append(fl.left(q));
    return requests;
}

void CreateFolder(const QString& fl) {
    for (const QString& folder : CreateFolderRequests(fl)) {
        // Existing folders and roots simply fail.
        if (!folder.isEmpty()) ::mkdir(NativePath(folder).constData(), 0777);
    }
}

qint64 filesize(const QString& filename) {
    struct stat st;
    if (!StatFile(filename, &st) || ::access(NativePath(filename).constData(), R_OK) != 0) return 0;
    return st.st_size;
}

}  // namespace app
