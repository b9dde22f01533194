#pragma once
// The command line of sonbridge-cli read into what one run needs. Defaults
// come from the window's settings.ini (read only), else fixed fallbacks.

#include "core/EncoderSettings.h"
#include "core/OutputRules.h"
#include "core/Result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace cli {

inline constexpr char kProgramName[] = "sonbridge-cli";

enum class Action { Run, Help, Version, ListWaveFormats };

struct Options {
    Action action = Action::Run;
    core::OutputFormat format = core::OutputFormat::Mp3;
    core::EncoderSettings encoder;
    QByteArray waveFormat;  // WAVEFORMATEX block, WAV output only
    QString outputDir;      // empty: beside each source
    bool recursive = false;
    bool keepStructure = false;
    bool copyTags = true;  // the sources' tags and cover art into the outputs
    core::ExistingOutput existing = core::ExistingOutput::MakeCopy;
    QString namePattern;  // empty: each source's own name
    core::ReplayGain replayGain = core::ReplayGain::Off;
    int shard = 1;  // this run takes files shard, shard + shards, ... (1-based)
    int shards = 1;
    bool quiet = false;
    bool verbose = false;  // the libraries' own words on standard error
    bool reportLoopGap = false;
    int jobs = 1;
    QStringList sources;  // FILE and FOLDER arguments as given
};

// arguments: the whole command line, program name first, file names already
// decoded byte-exactly. Failure: the one-line usage message.
core::Result<Options> parseCommandLine(const QStringList& arguments);

QString helpText();

}  // namespace cli
