#pragma once
// FILE and FOLDER arguments turned into the batch's jobs: files as named,
// folders walked with -R (the core's walk), each job with its destination rule.

#include "cli/Options.h"
#include "core/ConversionJob.h"

#include <QList>
#include <QStringList>

#include <functional>

namespace cli {

struct Sources {
    QList<core::JobSpec> jobs;
    QStringList errors;  // "NAME: why", one per argument that gave no job
    bool interrupted = false;
    qsizetype listed = 0;  // files found, before --shard took its share
};

// interrupted() is asked between directory entries so that Ctrl+C ends a long walk.
Sources collectSources(const Options& options, const std::function<bool()>& interrupted);

}  // namespace cli
