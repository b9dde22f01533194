#include "core/OutputFile.h"

#include "core/NativePath.h"
#include "core/OutputNaming.h"
#include "core/PathHelpers.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace core {

namespace {

int renameNoReplace(const QByteArray& from, const QByteArray& to) {
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // A file system without the flag: a hard link can't replace anything either.
    if (::link(from.constData(), to.constData()) == 0) {
        ::unlink(from.constData());
        return 0;
    }
    if (errno != EPERM && errno != ENOTSUP) return errno;
    // Neither (FAT, some network shares): look, then rename.
    if (entryExists(pathFromNative(to))) return EEXIST;
    return ::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
}

}  // namespace

QString temporaryPathFor(const QString& finalPath) {
    const QString folder = folderOf(finalPath);
    const QString name = nameOnly(finalPath);
    for (int n = 0;; ++n) {
        const QString suffix = n == 0 ? QStringLiteral(".part") : QStringLiteral(".%1.part").arg(n);
        const QString candidate = folder + fitFileName(QLatin1Char('.') + name, suffix);
        if (!entryExists(candidate)) return candidate;
    }
}

Result<QString> commitOutput(const QString& temporaryPath, const QString& finalPath) {
    QString target = finalPath;
    // A folder holds finitely many entries, so a free name is always reached.
    for (;;) {
        const int err = renameNoReplace(nativePath(temporaryPath), nativePath(target));
        if (err == 0) return target;
        if (err != EEXIST)
            return Failure{QStringLiteral("Cannot name the output %1: %2")
                               .arg(target, QString::fromLocal8Bit(std::strerror(err)))};
        target = nextFreeOutputPath(target);
    }
}

void discardOutput(const QString& temporaryPath) {
    if (!temporaryPath.isEmpty()) ::unlink(nativePath(temporaryPath).constData());
}

}  // namespace core
