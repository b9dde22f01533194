#include "core/OutputFile.h"

#include "core/NativePath.h"
#include "core/OutputNaming.h"
#include "core/PathHelpers.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>

namespace core {

namespace {

constexpr char kMarker[] = ".sonbridge-";
constexpr char kSuffix[] = ".part";
constexpr int kRandomChars = 6;
// Less room than one writer's buffer (TagLib's is 1 MiB) is a full disk.
constexpr unsigned long long kFullDiskBytes = 1024 * 1024;
// A new file is empty for the instant between its creation and its lock.
constexpr time_t kNewFileSeconds = 10;

QString errnoText(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

QString randomPart() {
    static constexpr char kChars[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString text;
    for (int i = 0; i < kRandomChars; ++i)
        text += QLatin1Char(kChars[QRandomGenerator::system()->bounded(int(sizeof kChars - 1))]);
    return text;
}

bool isTemporaryName(const char* name) {
    static const QRegularExpression pattern(
        QStringLiteral("^\\..+%1[A-Za-z0-9]{%2}%3$")
            .arg(QRegularExpression::escape(QLatin1String(kMarker)))
            .arg(kRandomChars)
            .arg(QRegularExpression::escape(QLatin1String(kSuffix))),
        QRegularExpression::DotMatchesEverythingOption);
    return pattern.match(pathFromNative(name)).hasMatch();
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

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

// A rename lasts through a power cut only once its folder is written out.
void syncFolder(const QString& folder) {
    const UniqueFd fd(
        ::open(nativePath(folder.isEmpty() ? QStringLiteral(".") : folder).constData(),
               O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0) ::fsync(fd.get());
}

}  // namespace

Result<TemporaryOutput> TemporaryOutput::create(const QString& finalPath) {
    const QString folder = folderOf(finalPath);
    const QString stem = QLatin1Char('.') + nameOnly(finalPath);
    for (;;) {
        const QString candidate = folder + fitFileName(stem, QLatin1String(kMarker) + randomPart() +
                                                                 QLatin1String(kSuffix));
        UniqueFd fd(::open(nativePath(candidate).constData(),
                           O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (fd.get() < 0) {
            if (errno == EEXIST) continue;  // another job drew the same name
            return Failure{
                QCoreApplication::translate("core", "The output can't be created in %1: %2")
                    .arg(folder, errnoText(errno))};
        }
        // Held until the file is gone: a later run's tidying leaves it alone.
        // A tidying run may hold it for a moment, so this waits.
        while (::flock(fd.get(), LOCK_EX) != 0 && errno == EINTR) {
        }
        return TemporaryOutput(candidate, std::move(fd));
    }
}

TemporaryOutput::TemporaryOutput(TemporaryOutput&& other) noexcept
    : path_(std::exchange(other.path_, QString())), fd_(std::move(other.fd_)) {}

TemporaryOutput::~TemporaryOutput() {
    if (path_.isEmpty() || fd_.get() < 0) return;
    // Only while the name still holds this file.
    struct stat own {
    }, named{};
    const QByteArray name = nativePath(path_);
    if (::fstat(fd_.get(), &own) == 0 && ::lstat(name.constData(), &named) == 0 &&
        sameFile(own, named))
        ::unlink(name.constData());
}

QString TemporaryOutput::descriptorPath() const {
    return QStringLiteral("/proc/self/fd/%1").arg(fd_.get());
}

bool TemporaryOutput::onFullDisk() const {
    struct statvfs fs {};
    if (::fstatvfs(fd_.get(), &fs) != 0) return false;
    // The blocks kept for root are ours too when we run as root.
    const unsigned long long blocks = ::geteuid() == 0 ? fs.f_bfree : fs.f_bavail;
    return blocks * fs.f_frsize < kFullDiskBytes;
}

Result<QString> TemporaryOutput::commit(const QString& finalPath, bool replace) {
    // Written out before it gets its name: after a power cut a final name
    // never holds an empty or partial file.
    if (::fsync(fd_.get()) != 0)
        return Failure{QCoreApplication::translate("core", "The output can't be written: %1")
                           .arg(errnoText(errno))};
    QString target = finalPath;
    if (replace) {
        if (::rename(nativePath(path_).constData(), nativePath(target).constData()) == 0) {
            path_.clear();
            syncFolder(folderOf(target));
            return target;
        }
        if (errno != EISDIR && errno != ENOTEMPTY && errno != EEXIST)
            return Failure{QCoreApplication::translate("core", "The output can't be named %1: %2")
                               .arg(target, errnoText(errno))};
        target = nextFreeOutputPath(target);
    }
    // A folder holds finitely many entries, so a free name is always reached.
    for (;;) {
        const int err = renameNoReplace(nativePath(path_), nativePath(target));
        if (err == 0) break;
        if (err != EEXIST)
            return Failure{QCoreApplication::translate("core", "The output can't be named %1: %2")
                               .arg(target, errnoText(err))};
        target = nextFreeOutputPath(target);
    }
    path_.clear();
    syncFolder(folderOf(target));
    return target;
}

int removeUnfinishedOutputs(const QString& folder) {
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(
        ::opendir(nativePath(folder.isEmpty() ? QStringLiteral(".") : folder).constData()),
        ::closedir);
    if (!dir) return 0;
    const int dirFd = ::dirfd(dir.get());
    int removed = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (!isTemporaryName(entry->d_name)) continue;
        const UniqueFd fd(::openat(dirFd, entry->d_name,
                                   O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
        struct stat own {
        }, named{};
        if (fd.get() < 0 || ::fstat(fd.get(), &own) != 0 || !S_ISREG(own.st_mode)) continue;
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) continue;  // its job is still running
        if (own.st_size == 0 && std::time(nullptr) - own.st_mtime < kNewFileSeconds) continue;
        if (::fstatat(dirFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            sameFile(own, named) && ::unlinkat(dirFd, entry->d_name, 0) == 0)
            ++removed;
    }
    return removed;
}

}  // namespace core
