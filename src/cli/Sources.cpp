#include "cli/Sources.h"

#include "core/NativePath.h"

#include <dirent.h>
#include <sys/stat.h>
#include <cerrno>
#include <cstring>

#include <algorithm>
#include <memory>
#include <set>
#include <utility>
#include <vector>

namespace cli {

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

QString errnoText(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

QString joinPath(const QString& folder, const QString& name) {
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

bool isAudioName(const QByteArray& name) {
    const qsizetype dot = name.lastIndexOf('.');
    if (dot <= 0) return false;
    return audioExtensions().contains(QString::fromLatin1(name.mid(dot + 1)).toLower());
}

class Walker {
public:
    Walker(const Options& options, const std::function<bool()>& interrupted, Sources& out)
        : options_(options), interrupted_(interrupted), out_(out) {}

    void addFile(const QString& path, const QString& relativeFolder) {
        core::JobSpec spec;
        spec.source = path;
        spec.format = options_.format;
        spec.encoder = options_.encoder;
        spec.sameFolder = options_.outputDir.isEmpty();
        spec.destination = options_.outputDir;
        spec.copyTags = options_.copyTags;
        if (options_.keepStructure && !relativeFolder.isEmpty())
            spec.destination = joinPath(options_.outputDir, relativeFolder);
        out_.jobs.append(spec);
    }

    // Folders reached twice through links are walked once, so a loop ends.
    void walk(const QString& folder, const QString& relativeFolder, const struct stat& st) {
        if (!visited_.insert({st.st_dev, st.st_ino}).second) return;
        std::unique_ptr<DIR, DirCloser> dir(::opendir(core::nativePath(folder).constData()));
        if (!dir) {
            out_.errors << QStringLiteral("%1: %2").arg(folder, errnoText(errno));
            return;
        }
        std::vector<QByteArray> names;
        while (const dirent* entry = ::readdir(dir.get())) {
            const QByteArray name(entry->d_name);
            if (!name.startsWith('.')) names.push_back(name);  // hidden entries, "." and ".."
        }
        dir.reset();
        std::sort(names.begin(), names.end());
        for (const QByteArray& name : names) {
            if (interrupted_()) {
                out_.interrupted = true;
                return;
            }
            const QString path = joinPath(folder, core::pathFromNative(name));
            struct stat child {};
            if (::stat(core::nativePath(path).constData(), &child) != 0) continue;  // broken link
            if (S_ISDIR(child.st_mode)) {
                walk(path, relativeFolder + core::pathFromNative(name) + QLatin1Char('/'), child);
                if (out_.interrupted) return;
            } else if (S_ISREG(child.st_mode) && isAudioName(name)) {
                addFile(path, relativeFolder);
            }
        }
    }

private:
    const Options& options_;
    const std::function<bool()>& interrupted_;
    Sources& out_;
    std::set<std::pair<dev_t, ino_t>> visited_;
};

}  // namespace

const QStringList& audioExtensions() {
    static const QStringList list{"wav", "wave", "mp3",  "mp2", "mp1", "mpa", "mpg", "mpeg", "ogg",
                                  "oga", "opus", "flac", "vox", "raw", "pcm", "aif", "aiff", "aifc",
                                  "au",  "snd",  "m4a",  "m4b", "aac", "mka", "wma", "wv",   "ape",
                                  "ac3", "dts",  "amr",  "caf", "w64", "tta", "spx", "mpc",  "gsm"};
    return list;
}

Sources collectSources(const Options& options, const std::function<bool()>& interrupted) {
    Sources out;
    Walker walker(options, interrupted, out);
    for (const QString& argument : options.sources) {
        if (interrupted()) {
            out.interrupted = true;
            break;
        }
        struct stat st {};
        if (::stat(core::nativePath(argument).constData(), &st) != 0) {
            out.errors << QStringLiteral("%1: %2").arg(argument, errnoText(errno));
        } else if (S_ISDIR(st.st_mode)) {
            if (options.recursive)
                walker.walk(argument, QString(), st);
            else
                out.errors << QStringLiteral("%1: is a folder; use -R").arg(argument);
        } else if (!S_ISREG(st.st_mode)) {
            out.errors << QStringLiteral("%1: not a regular file").arg(argument);
        } else {
            walker.addFile(argument, QString());
        }
        if (out.interrupted) break;
    }
    return out;
}

}  // namespace cli
