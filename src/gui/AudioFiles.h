#pragma once
// Which files count as audio when a folder is added: those whose extension
// the decoder opens. The Open dialog offers the same list.

#include <QString>
#include <QStringList>

namespace gui {

// Lower case, without the dot, in the order the Open dialog lists them.
const QStringList& audioExtensions();

// A folder (or a link to one) stands at path.
bool isFolder(const QString& path);

// Every file with an audio extension below folder, at any depth, sorted by
// path. Hidden files and folders are skipped; a folder reached twice
// through links is walked once.
QStringList audioFilesBelow(const QString& folder);

// paths in order, each folder replaced by the audio files below it.
QStringList withFoldersExpanded(const QStringList& paths);

// A relative path made absolute against the current folder, byte for byte.
QString absolutePath(const QString& path);

}  // namespace gui
