#pragma once
// An output is written under a hidden temporary name beside its final one
// and renamed into place only once it is complete and checked, so no
// truncated or failed file ever stands under a final name. Worker thread.

#include "core/Result.h"

#include <QString>

namespace core {

// ".name.mp3.part" beside finalPath, shortened to fit a file name and never
// an existing entry.
QString temporaryPathFor(const QString& finalPath);

// Renames temporaryPath to finalPath without replacing anything: when that
// name was taken meanwhile, the next free " (copy N)." name. Returns the
// path the file now has.
Result<QString> commitOutput(const QString& temporaryPath, const QString& finalPath);

// Removes a temporary file; nothing happens when there is none.
void discardOutput(const QString& temporaryPath);

}  // namespace core
