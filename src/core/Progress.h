#pragma once
// The percentage a running job shows.

#include <QString>
#include <QtGlobal>

#include <optional>

namespace core {

// position / length as a whole percentage, half to even; nullopt when the
// length is unknown or the numbers make no sense.
std::optional<qint32> progressPercent(qint64 position, qint64 length);
QString progressText(qint32 percent);  // "Processing... 42% completed"

}  // namespace core
