#pragma once
// Output names built from the source's tags: a pattern such as
// "{artist}/{album}/{track} - {title}", where "/" makes folders. Every value
// is made safe for a file name; a missing one reads "Unknown artist" and
// the like.

#include "core/Result.h"

#include <QString>

namespace core {

// The source's own name: today's naming, byte for byte.
inline const QString kDefaultNamePattern = QStringLiteral("{name}");

struct NameTags {
    QString artist, albumArtist, album, title, track, disc, year, genre;
};

// Any thread. The tags a pattern can use, read without ever opening the
// file for writing; empty fields when it has none or can't be read.
NameTags readNameTags(const QString& path);

// Failure: why the pattern can't be used ("unknown field {x}").
Status checkNamePattern(const QString& pattern);
// The pattern names a field that comes from tags.
bool patternUsesTags(const QString& pattern);
// Empty, or only {name}.
bool isDefaultNamePattern(const QString& pattern);

// The output's path below its folder, without the extension: safe parts
// joined by "/", each part at most 255 bytes, never empty, never "." or
// "..". subFolder: the source's sub-folder below the folder it was added from.
QString expandNamePattern(const QString& pattern, const QString& sourcePath,
                          const QString& subFolder, const NameTags& tags);

// A value or a part of a path made safe: "/", NUL and control characters
// become "_", no leading dots or blanks, no trailing blanks or dots, at
// most maxBytes bytes.
QString safeNamePart(const QString& text, qsizetype maxBytes = 255);

}  // namespace core
