#pragma once
// settings.ini, section "Main": what the program remembers between runs,
// read and written by the rules of the classic profile functions.

#include "core/EncoderSettings.h"
#include "core/OutputRules.h"

#include <QString>
#include <QtGlobal>

#include <optional>

namespace core {

inline const QString kMainSection = QStringLiteral("Main");

// The simultaneous conversions a machine gets by default: one per core, 1 to 16.
int defaultSimultaneousConversions();
inline constexpr int kMaxSimultaneousConversions = 16;

// A check box's stored state: 0 unticked, 1 ticked, 2 grey. Only 1 counts as ticked.
inline bool isTicked(int boxState) {
    return boxState == 1;
}

struct Settings {
    int sameFolderBox = 0;  // "Save to the same folder"
    int openFolderBox = 0;  // "Open target directory after conversion"
    QString destination;
    EncoderSettings encoder;
    qint16 formatIndex = 0;  // 0 WAV, 1 MP3, 2 OGG, -1 none
    int simultaneousConversions = defaultSimultaneousConversions();
    bool copyTags = true;            // "Copy tags and cover art"
    QString windowGeometry;          // the main window's size and position; empty: centred default
    QString openFolder;              // where the Open dialog was last used; empty: none yet
    bool stopAtFirstFailure = true;  // "Stop at the first failure"
    // Kept under named keys, written once they differ from these defaults.
    ExistingOutput existingOutputs = ExistingOutput::MakeCopy;  // "When the output exists"
    QString namePattern = {};                 // "File names"; empty: the source's own name
    bool recreateSubFolders = false;          // "Recreate sub-folders"
    ReplayGain replayGain = ReplayGain::Off;  // "Write ReplayGain tags"
};

QString readIniValue(const QString& section, const QString& key, const QString& path);
bool writeIniValue(const QString& section, const QString& key, const QString& value,
                   const QString& path);

// The longest leading number of text (blanks skipped, sign, digits, point,
// exponent), 0 when there is none, rounded half to even; nullopt when it
// does not fit a signed integer of the given width.
std::optional<qint64> iniNumber(const QString& text, int bits);

// Reads every key it can; a key whose value doesn't fit keeps what
// settings held. A file that can't be read or has no section "Main" gives
// the first-run values (the destination is the "Output" folder beside it).
void loadSettings(Settings& settings, const QString& path);
// Write failures are ignored; an unreadable file is never replaced.
void saveSettings(const Settings& settings, const QString& path);
// First run only: when the file can't be opened, puts the defaults into
// settings and saves them. True when it did.
bool createDefaultSettings(Settings& settings, const QString& appDataFolder, const QString& path);

}  // namespace core
