#include "cli/Sources.h"

#include "core/AudioFiles.h"
#include "core/NativePath.h"

#include <sys/stat.h>
#include <cerrno>
#include <cstring>

namespace cli {

namespace {

QString errnoText(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

core::JobSpec jobFor(const Options& options, const QString& path, const QString& addedFrom) {
    core::JobSpec spec;
    spec.source = path;
    spec.format = options.format;
    spec.encoder = options.encoder;
    spec.sameFolder = options.outputDir.isEmpty();
    spec.destination = options.outputDir;
    spec.copyTags = options.copyTags;
    spec.existing = options.existing;
    spec.namePattern = options.namePattern;
    spec.addedFrom = addedFrom;
    spec.recreateSubFolders = options.keepStructure;
    spec.replayGain = options.replayGain;
    return spec;
}

}  // namespace

Sources collectSources(const Options& options, const std::function<bool()>& interrupted) {
    Sources out;
    core::FolderWalk walk(interrupted);
    // Every shards-th file of the whole list, so that runs with K = 1..N share it out.
    const auto take = [&](const QString& path, const QString& addedFrom) {
        if (out.listed++ % options.shards == options.shard - 1)
            out.jobs.append(jobFor(options, path, addedFrom));
    };
    for (const QString& argument : options.sources) {
        if (interrupted()) {
            out.interrupted = true;
            break;
        }
        struct stat st {};
        if (::stat(core::nativePath(argument).constData(), &st) != 0) {
            out.errors << QStringLiteral("%1: %2").arg(argument, errnoText(errno));
        } else if (S_ISDIR(st.st_mode)) {
            if (!options.recursive) {
                out.errors << QStringLiteral("%1: is a folder; use -R").arg(argument);
                continue;
            }
            out.interrupted =
                !walk.walk(argument, [&](const QString& path) { take(path, argument); });
            if (out.interrupted) break;
        } else if (!S_ISREG(st.st_mode)) {
            out.errors << QStringLiteral("%1: not a regular file").arg(argument);
        } else {
            take(argument, QString());
        }
    }
    out.errors += walk.errors();
    return out;
}

}  // namespace cli
