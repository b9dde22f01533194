#pragma once
// Choices about outputs that a batch applies to every job: what happens
// when the output's name is taken, and which loudness tags are written.
// The numbers are what settings.ini stores.

#include <QString>

#include <optional>

namespace core {

enum class ExistingOutput {
    MakeCopy = 0,  // "name (copy).ext", "name (copy 2).ext" ...
    Skip = 1,      // the source is not converted at all
    Replace = 2,   // the finished, checked output takes the old one's place in one rename
};

enum class ReplayGain {
    Off = 0,
    Track = 1,
    Album = 2,  // track gain, and album gain for the rows of one album in one folder
};

// "copy", "skip", "replace" and back; none for anything else.
std::optional<ExistingOutput> existingOutputFromName(const QString& name);
std::optional<ReplayGain> replayGainFromName(const QString& name);  // "track", "album"

}  // namespace core
