#include "core/OutputRules.h"

namespace core {

std::optional<ExistingOutput> existingOutputFromName(const QString& name) {
    if (name == QLatin1String("copy")) return ExistingOutput::MakeCopy;
    if (name == QLatin1String("skip")) return ExistingOutput::Skip;
    if (name == QLatin1String("replace")) return ExistingOutput::Replace;
    return std::nullopt;
}

std::optional<ReplayGain> replayGainFromName(const QString& name) {
    if (name == QLatin1String("track")) return ReplayGain::Track;
    if (name == QLatin1String("album")) return ReplayGain::Album;
    return std::nullopt;
}

}  // namespace core
