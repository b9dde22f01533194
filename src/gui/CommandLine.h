#pragma once
// The window's own command line: files and folders to list, or --help and
// --version, which print and end the program before any window or display
// is needed.

#include <QString>
#include <QStringList>

#include <optional>

namespace gui {

enum class PrintAndExit { Help, Version };

// arguments: the whole command line, program name first. Options end at "--".
std::optional<PrintAndExit> printAndExitOption(const QStringList& arguments);
QString printAndExitText(PrintAndExit what);

// The files and folders to list: every argument but the program's name and
// the first "--".
QStringList filesToList(const QStringList& arguments);

}  // namespace gui
