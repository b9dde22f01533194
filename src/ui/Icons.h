#pragma once
// Icons of the main window: the desktop theme's when it has them, otherwise
// the ones built into the program.

#include <QIcon>

namespace ui {

enum class ButtonIcon { Add, Remove, Play, Stop, Convert };

QIcon ProgramIcon();
QIcon CommandIcon(ButtonIcon which);
QIcon AudioFileIcon();  // the one icon of every source row

}  // namespace ui
