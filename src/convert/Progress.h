#pragma once
// The percentage written into the row being converted, twice a second.

#include <QString>
#include <QtGlobal>

#include <optional>

namespace ui {
class Form1;
}

namespace convert {

// position / length as a whole percentage, half to even; nullopt when the
// length is unknown or the numbers make no sense.
std::optional<qint32> ProgressPercent(qint64 position, qint64 length);
QString ProgressText(qint32 percent);  // "Processing... 42% completed"

void ProgressTick(ui::Form1& form);

}  // namespace convert
