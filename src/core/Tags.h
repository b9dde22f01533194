#pragma once
// Tags and cover art carried from a source into its output, with TagLib.

#include "core/EncoderSettings.h"
#include "core/Result.h"

#include <QString>

namespace core {

// Pictures larger than this are left out of the output.
inline constexpr qint64 kMaxPictureBytes = 16 * 1024 * 1024;

// Worker thread. Makes the tags of the finished output at outputPath those
// of source: title, artist, album, album artist, track and disc number and
// total, date, genre, comment, composer and one picture (the front cover,
// else the first). Whatever the encoder wrote there is replaced, so a source
// without tags gives an output without any. The output is opened as format,
// whatever its name says. Returns what was left out or could not be done,
// for the row's note; empty when everything went across. Fails when the
// output could not take the tags (the disk is full) or is no longer whole
// after them. The audio is never touched.
Result<QString> copyTags(const QString& source, const QString& outputPath, OutputFormat format);

// Any thread: "artist - title" from the file's tags, or whichever of the
// two it has; empty when it has neither or can't be read.
QString artistAndTitle(const QString& path);

}  // namespace core
