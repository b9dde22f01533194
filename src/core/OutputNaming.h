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

}  // namespace core
