#include "core/Progress.h"

#include <QCoreApplication>

#include <cmath>
#include <limits>

namespace core {

std::optional<qint32> progressPercent(qint64 position, qint64 length) {
    if (length <= 0 || position < 0) return std::nullopt;  // unknown length: no percentage
    const double percent = static_cast<double>(position) / static_cast<double>(length) * 100.0;
    const double rounded = std::nearbyint(percent);  // a half goes to the even neighbour
    if (!(rounded >= std::numeric_limits<qint32>::min() &&
          rounded <= std::numeric_limits<qint32>::max()))
        return std::nullopt;
    return static_cast<qint32>(rounded);
}

QString progressText(qint32 percent) {
    return QCoreApplication::translate("core", "Processing... %1% completed").arg(percent);
}

}  // namespace core
