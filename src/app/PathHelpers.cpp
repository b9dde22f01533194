#include "app/PathHelpers.h"

#include <QDir>
#include <QFileInfo>

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

bool FileExists(const QString& fp) {
    if (fp.isEmpty()) return false;
    const QFileInfo info(fp);
    return info.isFile() && !info.fileName().startsWith(QLatin1Char('.'));
}

bool EntryExists(const QString& path) {
    if (path.isEmpty()) return false;
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

QStringList CreateFolderRequests(const QString& fl) {
    QStringList requests;
    for (qsizetype q = fl.indexOf(PathSeparator()); q >= 0; q = fl.indexOf(PathSeparator(), q + 1))
        requests.append(fl.left(q));
    return requests;
}

void CreateFolder(const QString& fl) {
    QDir dir;
    for (const QString& folder : CreateFolderRequests(fl)) {
        if (!folder.isEmpty()) dir.mkdir(folder);  // existing folders and roots simply fail
    }
}

qint64 filesize(const QString& filename) {
    if (filename.isEmpty()) return 0;
    const QFileInfo info(filename);
    if (!info.isFile() || !info.isReadable()) return 0;
    return info.size();
}

}  // namespace app
