#pragma once
// Splitting paths into folder and name, cutting extensions, and the few
// file-system questions the rest of the program asks. The string helpers
// work on the text as given: no trimming, no normalising, no file access.

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace app {

// The one folder separator the helpers know: the platform's.
QChar PathSeparator();

QString WithoutExtension(const QString& path);
QString NameOnly(const QString& path);
QString GetPATH(const QString& command);  // folder part with its trailing separator

// An ordinary, non-hidden file (not a folder) of that name exists.
bool FileExists(const QString& fp);
// Anything at all stands at that path: file, folder, hidden file, link (even broken).
bool EntryExists(const QString& path);

// The folders CreateFolder asks for, in order: the text before each separator.
QStringList CreateFolderRequests(const QString& fl);
// Creates each of them, ignoring every failure.
void CreateFolder(const QString& fl);

// Size in bytes of a readable ordinary file; 0 for anything else.
qint64 filesize(const QString& filename);

}  // namespace app
