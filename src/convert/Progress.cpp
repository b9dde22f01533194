#include "convert/Progress.h"

#include "ui/Form1.h"

#include <cmath>
#include <limits>

namespace convert {

std::optional<qint32> ProgressPercent(qint64 position, qint64 length) {
    if (length <= 0 || position < 0) return std::nullopt;  // unknown length: no percentage
    const double percent = static_cast<double>(position) / static_cast<double>(length) * 100.0;
    const double rounded = std::nearbyint(percent);  // a half goes to the even neighbour
    if (!(rounded >= std::numeric_limits<qint32>::min() &&
          rounded <= std::numeric_limits<qint32>::max()))
        return std::nullopt;
    return static_cast<qint32>(rounded);
}

QString ProgressText(qint32 percent) {
    return QStringLiteral("Processing... %1% completed").arg(percent);
}

void ProgressTick(ui::Form1& form) {
    const qint64 length = form.engine.channelGetLength(form.ConversionStream);
    const qint64 position = form.engine.channelGetPosition(form.ConversionStream);
    if (const auto percent = ProgressPercent(position, length))
        form.sourceList().setSelectedStatus(ProgressText(*percent));
}

}  // namespace convert
