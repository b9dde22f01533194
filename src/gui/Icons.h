#pragma once
// Icons of the main window: the desktop theme's when it has them, otherwise
// the ones built into the program.

#include <QIcon>

namespace gui {

enum class ButtonIcon { Add, Remove, Play, Stop, Convert };

QIcon programIcon();
QIcon commandIcon(ButtonIcon which);
QIcon audioFileIcon();  // the one icon of every source row

}  // namespace gui
