#pragma once
// Where the converted file of one source goes: beside the source or in the
// destination folder, never on top of anything that already exists.

#include <QString>

namespace convert {

// "wav", "mp3", "ogg" for 0, 1, 2; empty for any other index.
QString OutputExtension(int formatIndex);

// Builds the output path for sourcePath and creates its folder. A name that
// is taken by any entry (file, hidden file, folder, link) becomes
// "name (copy).ext", then "name (copy 2).ext", "name (copy 3).ext" ...
QString BuildOutputPath(const QString& sourcePath, int formatIndex, bool sameFolder,
                        const QString& destinationText);

}  // namespace convert
