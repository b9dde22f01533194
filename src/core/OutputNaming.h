#pragma once
// Where the converted file of one source goes: beside the source or in the
// destination folder, never on top of anything that already exists.

#include "core/EncoderSettings.h"

#include <QSet>
#include <QString>

#include <optional>

namespace core {

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
