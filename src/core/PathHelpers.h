#pragma once
// Splitting paths into folder and name, cutting extensions, and the few
// file-system questions the rest of the program asks. The string helpers
// work on the text as given: no trimming, no normalising, no file access.

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace core {

// The one folder separator the helpers know: the platform's.
QChar pathSeparator();

QString withoutExtension(const QString& path);
QString nameOnly(const QString& path);
QString folderOf(const QString& command);  // folder part with its trailing separator

// An ordinary, non-hidden file (not a folder) of that name exists.
bool fileExists(const QString& fp);
// Anything at all stands at that path: file, folder, hidden file, link (even broken).
bool entryExists(const QString& path);

// The folders createFolder asks for, in order: the text before each separator.
QStringList createFolderRequests(const QString& fl);
// Creates each of them, ignoring every failure.
void createFolder(const QString& fl);

// Size in bytes of a readable ordinary file; 0 for anything else.
qint64 fileSize(const QString& filename);

}  // namespace core
