#pragma once
// Where the converted file of one source goes: beside the source or in the
// destination folder, never on top of anything that already exists.

#include "core/EncoderSettings.h"

#include <QSet>
#include <QString>

#include <optional>

namespace core {

struct JobSpec;

// Where one job's output goes. skip: the job is not run, its output exists.
struct OutputPlan {
    QString path;
    bool skip = false;
};

// The batch's naming of one job: the folder (beside the source, in the
// destination, or in the source's sub-folder below it), the name (the
// source's or the job's pattern) and what an existing output means. Names
// reserved by other jobs of the batch are never used; the source itself is
// never replaced. Creates the folder unless the job is skipped.
OutputPlan planOutput(const JobSpec& spec, const QSet<QString>& reserved);

// Builds the output path for sourcePath and creates its folder. A name that
// is taken by any entry (file, hidden file, folder, link) or reserved by a
// job still writing it becomes "name (copy).ext", then "name (copy 2).ext",
// "name (copy 3).ext" ... Without a format the name ends in the dot.
QString buildOutputPath(const QString& sourcePath, std::optional<OutputFormat> format,
                        bool sameFolder, const QString& destinationText,
                        const QSet<QString>& reserved = {});

// stem + suffix as one file name, stem shortened at a character boundary
// so that the name fits the file system's 255 bytes.
QString fitFileName(const QString& stem, const QString& suffix);

// The next " (copy N)." name after takenPath that no entry holds.
QString nextFreeOutputPath(const QString& takenPath);

}  // namespace core
