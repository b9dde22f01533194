#pragma once
// Paths handed to the window from outside (the command line).

#include <QString>

namespace gui {

// A relative path made absolute against the current folder, byte for byte.
QString absolutePath(const QString& path);

}  // namespace gui
