#include "cli/Options.h"

#include "cli/WaveFormatSpec.h"
#include "core/AppFolders.h"
#include "core/NamePattern.h"
#include "core/Settings.h"

#include <QCommandLineParser>

#include <algorithm>
#include <optional>
#include <span>

namespace cli {

namespace {

bool knownRate(qint64 rate) {
    const std::span<const int> rates = core::sampleRateChoices();
    return std::find(rates.begin(), rates.end(), rate) != rates.end();
}

QString rateList() {
    QStringList texts;
    for (auto it = core::sampleRateChoices().rbegin(); it != core::sampleRateChoices().rend(); ++it)
        texts << QString::number(*it);
    return texts.join(QStringLiteral(", "));
}

// The window's saved choices, read by the window's own rules; the first-run
// values when the file is ignored or can't be read.
core::Settings savedSettings(bool ignoreFile) {
    core::Settings settings;
    core::loadSettings(settings, ignoreFile ? QString() : core::appFolders().settingsPath);
    return settings;
}

const char* optionFor(core::ModeValue value) {
    switch (value) {
        case core::ModeValue::Kbps:
            return "-b";
        case core::ModeValue::Quality:
            return "--quality";
        case core::ModeValue::Compression:
            return "--compression";
    }
    return "";
}

const core::EncoderMode* modeOfKind(const core::FormatInfo& format, core::ModeValue value) {
    for (const core::EncoderMode& m : format.modes)
        if (m.value == value) return &m;
    return nullptr;
}

// One line per format: its modes, the option that sets each and its range.
QString formatLines() {
    QString text;
    for (const core::FormatInfo& f : core::outputFormats()) {
        QStringList modes;
        for (const core::EncoderMode& m : f.modes) {
            QString line = QStringLiteral("%1 %2 (default %3)")
                               .arg(QLatin1String(optionFor(m.value)), core::modeRangeText(m))
                               .arg(m.defaultValue);
            if (f.modes.size() > 1) line = QStringLiteral("--mode %1: ").arg(m.id) + line;
            modes << line;
        }
        if (f.encoder == core::EncoderKind::WaveWriter) modes << QStringLiteral("-w SPEC");
        if (modes.isEmpty()) modes << QStringLiteral("lossless");
        text += QStringLiteral("  %1 %2 .%3: %4\n")
                    .arg(QLatin1String(f.id), -8)
                    .arg(QLatin1String(f.name), -12)
                    .arg(QLatin1String(f.extension))
                    .arg(modes.join(QStringLiteral("; ")));
    }
    return text;
}

// A whole decimal number, nothing else (a minus sign for Vorbis's -1).
std::optional<int> wholeNumber(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    const QString digits = text.startsWith(QLatin1Char('-')) ? text.mid(1) : text;
    if (!ok || digits.isEmpty() || !digits.at(0).isDigit()) return std::nullopt;
    return value;
}

}  // namespace

namespace {

struct ModeOptions {
    const QCommandLineOption& bitrate;
    const QCommandLineOption& quality;
    const QCommandLineOption& mode;
    const QCommandLineOption& compression;
};

// -b, --quality, --mode and --compression for the chosen format: picks its
// mode and sets that mode's number. Returns -b's value (0 when not given).
core::Result<int> applyModeOptions(const QCommandLineParser& parser, const ModeOptions& o,
                                   Options& options) {
    using core::Failure;
    const core::FormatInfo& format = core::formatInfo(options.format);
    const QString formatId = QLatin1String(format.id);
    // WAV takes -b for MP3 inside WAV.
    const bool wav = format.encoder == core::EncoderKind::WaveWriter;
    const core::EncoderMode* saved = core::chosenMode(format, options.encoder);
    const core::EncoderMode* named = nullptr;
    if (parser.isSet(o.mode)) {
        named = core::findMode(format, parser.value(o.mode));
        if (!named) {
            QStringList ids;
            for (const core::EncoderMode& m : format.modes) ids << QLatin1String(m.id);
            return Failure{
                QStringLiteral("%1 has no mode '%2'%3")
                    .arg(formatId, parser.value(o.mode),
                         ids.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(ids.join(", ")))};
        }
        core::chooseMode(format, *named, options.encoder);
    }
    int kbps = 0;
    const std::pair<const QCommandLineOption*, core::ModeValue> numbers[] = {
        {&o.bitrate, core::ModeValue::Kbps},
        {&o.quality, core::ModeValue::Quality},
        {&o.compression, core::ModeValue::Compression}};
    for (const auto& [option, value] : numbers) {
        if (!parser.isSet(*option)) continue;
        const QString name = option->names().constLast();
        const QString text = parser.value(*option);
        const std::optional<int> n = wholeNumber(text);
        if (wav && value == core::ModeValue::Kbps) {
            // MP3 inside WAV: what MP3's fixed bitrate takes.
            const core::EncoderMode& mp3 = core::formatInfo(core::OutputFormat::Mp3).modes.front();
            if (!n || !core::modeAccepts(mp3, *n))
                return Failure{QStringLiteral("bitrate '%1' is not a number from %2")
                                   .arg(text, core::modeRangeText(mp3))};
            kbps = *n;
            continue;
        }
        // The mode named, else the saved one when it takes this number, else the format's first
        // that does.
        const core::EncoderMode* target = named ? (named->value == value ? named : nullptr)
                                          : saved && saved->value == value
                                              ? saved
                                              : modeOfKind(format, value);
        if (!target)
            return Failure{
                QStringLiteral("--%1 does not apply to %2%3")
                    .arg(name, formatId,
                         named ? QStringLiteral(" in mode %1").arg(named->id) : QString())};
        if (!n || !core::modeAccepts(*target, *n))
            return Failure{QStringLiteral("%1 '%2' is not a number from %3 for %4")
                               .arg(name, text, core::modeRangeText(*target), formatId)};
        core::chooseMode(format, *target, options.encoder);
        core::setModeNumber(*target, *n, options.encoder);
        if (value == core::ModeValue::Kbps) kbps = *n;
    }
    return kbps;
}

}  // namespace

QString helpText() {
    return QStringLiteral(
               "Usage: %1 [options] FILE|FOLDER...\n"
               "Converts audio files with the batch of the Sonbridge window.\n"
               "\n"
               "  -f, --format FORMAT        output format, below (default: the one saved by the "
               "window, else mp3)\n"
               "  -b, --bitrate KBPS         bitrate of the format's bitrate mode (default: "
               "saved)\n"
               "      --quality N            MP3 variable bitrate or Vorbis quality (default: "
               "saved)\n"
               "      --mode MODE            the format's mode by name: MP3 cbr, vbr or abr; OGG "
               "bitrate or quality\n"
               "      --compression N        FLAC compression level (default: saved)\n"
               "  -r, --rate HZ|source       output sample rate, one of the window's 8000 to "
               "48000, or the source's\n"
               "                             (default: saved, else 44100)\n"
               "      --channels 1|2|source  mono, stereo or the source's channels (default: "
               "saved, else 2)\n"
               "      --mono | --stereo      the same as --channels 1 or 2\n"
               "  -w, --wave-format SPEC     WAV: codec[,rate[,channels]], e.g. pcm16,44100,2 or "
               "ima-adpcm,22050,1\n"
               "      --list-wave-formats    print the WAV codecs, rates and channel choices and "
               "exit\n"
               "  -o, --output-dir DIR       destination folder, created when missing (default: "
               "beside each source)\n"
               "  -R, --recursive            FOLDER arguments: every audio file below it, in path "
               "order\n"
               "      --keep-structure       with -o and -R: recreate the sub-folders under DIR\n"
               "      --existing copy|skip|replace\n"
               "                             when the output exists: a \"(copy)\" beside it "
               "(default), leave it\n"
               "                             and skip the source, or replace it once the new "
               "one is complete\n"
               "      --name PATTERN         output names from tags: {artist} {albumartist} "
               "{album} {title}\n"
               "                             {track} {disc} {year} {genre} {name} {folder}; "
               "\"/\" makes folders\n"
               "                             (default: {name}, the source's own name)\n"
               "      --replaygain track|album\n"
               "                             write ReplayGain 2.0 tags: each file's own gain, "
               "and with album\n"
               "                             also the gain of the files sharing an album tag "
               "and a folder\n"
               "      --shard K/N            only every Nth file of the sorted list, starting "
               "with the Kth,\n"
               "                             so that N machines share one library\n"
               "      --no-tags              don't copy tags and cover art into the outputs "
               "(default: saved, else copy)\n"
               "  -j, --jobs N               simultaneous conversions, 1 to 16 (default: saved, "
               "else one per core)\n"
               "  -q, --quiet                no progress, only errors\n"
               "  -v, --verbose              also the decoding libraries' own messages\n"
               "      --no-settings          ignore the window's settings.ini\n"
               "  -h, --help                 show this help and exit\n"
               "  -V, --version              show the version and exit\n"
               "\n"
               "Formats and their settings:\n%3"
               "A format that can't take the rate or channels asked for (MP3: 8000 to 48000 Hz,\n"
               "two channels at most) uses the nearest it can, and says so.\n"
               "WAV output without -w is PCM 16-bit, 44100 Hz stereo. A SPEC without rate or\n"
               "channels takes -r and --channels when given, else the source's (or the\n"
               "nearest the codec takes); MP3 inside WAV takes the listed bitrate nearest to -b\n"
               "(128 when -b is not given).\n"
               "Without --existing an existing file is never overwritten: \"name (copy).mp3\", "
               "\"name (copy 2).mp3\" ...\n"
               "Defaults are read from %2 (never written).\n"
               "Exit status: 0 all converted, 1 any failed, 2 bad usage, 130 after SIGINT, "
               "143 after SIGTERM.\n")
        .arg(QLatin1String(kProgramName), core::appFolders().settingsPath, formatLines());
}

core::Result<Options> parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    const QCommandLineOption format({"f", "format"}, {}, "format");
    const QCommandLineOption bitrate({"b", "bitrate"}, {}, "kbps");
    const QCommandLineOption quality("quality", {}, "n");
    const QCommandLineOption mode("mode", {}, "mode");
    const QCommandLineOption compression("compression", {}, "n");
    const QCommandLineOption rate({"r", "rate"}, {}, "hz");
    const QCommandLineOption mono("mono");
    const QCommandLineOption stereo("stereo");
    const QCommandLineOption channels("channels", {}, "n");
    const QCommandLineOption waveFormat({"w", "wave-format"}, {}, "spec");
    const QCommandLineOption listWaveFormats("list-wave-formats");
    const QCommandLineOption outputDir({"o", "output-dir"}, {}, "dir");
    const QCommandLineOption recursive(QStringList{"R", "recursive"});
    const QCommandLineOption keepStructure("keep-structure");
    const QCommandLineOption noTags("no-tags");
    const QCommandLineOption existing("existing", {}, "rule");
    const QCommandLineOption name("name", {}, "pattern");
    const QCommandLineOption shard("shard", {}, "k/n");
    const QCommandLineOption replayGain("replaygain", {}, "scope");
    const QCommandLineOption jobs({"j", "jobs"}, {}, "n");
    const QCommandLineOption quiet(QStringList{"q", "quiet"});
    const QCommandLineOption verbose(QStringList{"v", "verbose"});
    const QCommandLineOption noSettings("no-settings");
    const QCommandLineOption help(QStringList{"h", "help"});
    const QCommandLineOption version(QStringList{"V", "version"});
    // A diagnostic for the benchmark: the longest wait between two turns of the event loop.
    const QCommandLineOption loopGap("report-loop-gap");
    parser.addOptions({format,
                       bitrate,
                       quality,
                       mode,
                       compression,
                       rate,
                       mono,
                       stereo,
                       channels,
                       waveFormat,
                       listWaveFormats,
                       outputDir,
                       recursive,
                       keepStructure,
                       noTags,
                       existing,
                       name,
                       shard,
                       replayGain,
                       jobs,
                       quiet,
                       verbose,
                       noSettings,
                       help,
                       version,
                       loopGap});

    using core::Failure;
    if (!parser.parse(arguments)) return Failure{parser.errorText()};

    Options options;
    if (parser.isSet(help)) {
        options.action = Action::Help;
        return options;
    }
    if (parser.isSet(version)) {
        options.action = Action::Version;
        return options;
    }
    if (parser.isSet(listWaveFormats)) {
        options.action = Action::ListWaveFormats;
        return options;
    }

    const core::Settings saved = savedSettings(parser.isSet(noSettings));
    options.format =
        core::outputFormatFromIndex(saved.formatIndex).value_or(core::OutputFormat::Mp3);
    options.encoder = saved.encoder;
    options.jobs = saved.simultaneousConversions;
    options.copyTags = saved.copyTags && !parser.isSet(noTags);

    if (parser.isSet(format)) {
        const core::FormatInfo* named = core::formatById(parser.value(format));
        if (!named)
            return Failure{QStringLiteral("unknown format '%1' (%2)")
                               .arg(parser.value(format), core::formatIdList())};
        options.format = named->format;
    }
    std::optional<int> askedKbps, askedRate, askedChannels;
    if (core::Result<int> kbps =
            applyModeOptions(parser, {bitrate, quality, mode, compression}, options);
        !kbps)
        return Failure{kbps.reason()};
    else if (*kbps > 0)
        askedKbps = *kbps;
    if (parser.isSet(rate)) {
        const QString text = parser.value(rate);
        askedRate = text == QLatin1String("source") ? core::kSourceSampleRate : wholeNumber(text);
        if (!askedRate || (*askedRate != core::kSourceSampleRate && !knownRate(*askedRate)))
            return Failure{
                QStringLiteral("rate '%1' is not one of %2 (Hz) or source").arg(text, rateList())};
        options.encoder.sampleRate = *askedRate;
    }
    if (int(parser.isSet(mono)) + int(parser.isSet(stereo)) + int(parser.isSet(channels)) > 1)
        return Failure{QStringLiteral("--mono, --stereo and --channels exclude each other")};
    if (parser.isSet(channels)) {
        const QString text = parser.value(channels);
        // 0: the source's.
        askedChannels = text == QLatin1String("1")        ? 1
                        : text == QLatin1String("2")      ? 2
                        : text == QLatin1String("source") ? std::optional<int>(0)
                                                          : std::nullopt;
        if (!askedChannels)
            return Failure{QStringLiteral("--channels '%1' is not 1, 2 or source").arg(text)};
    } else if (parser.isSet(mono) || parser.isSet(stereo)) {
        askedChannels = parser.isSet(stereo) ? 2 : 1;
    }
    if (askedChannels) {
        options.encoder.sourceChannels = *askedChannels == 0;
        if (*askedChannels > 0) options.encoder.stereo = *askedChannels == 2;
    }
    if (parser.isSet(jobs)) {
        const std::optional<int> n = wholeNumber(parser.value(jobs));
        if (!n || *n < 1 || *n > core::kMaxSimultaneousConversions)
            return Failure{QStringLiteral("jobs '%1' is not a number from 1 to %2")
                               .arg(parser.value(jobs))
                               .arg(core::kMaxSimultaneousConversions)};
        options.jobs = *n;
    }

    if (parser.isSet(waveFormat)) {
        if (!parser.isSet(format)) options.format = core::OutputFormat::Wav;
        if (options.format != core::OutputFormat::Wav)
            return Failure{QStringLiteral("--wave-format is for WAV output only")};
    }
    if (options.format == core::OutputFormat::Wav) {
        // A codec named without rate or channels keeps the source's.
        const bool named = parser.isSet(waveFormat);
        const WaveSpecDefaults defaults{askedRate.value_or(named ? 0 : 44100),
                                        askedChannels.value_or(named ? 0 : 2),
                                        askedKbps.value_or(128)};
        const QString spec =
            parser.isSet(waveFormat) ? parser.value(waveFormat) : QStringLiteral("pcm16");
        core::Result<QByteArray> block = waveFormatFromSpec(spec, defaults);
        if (!block) return Failure{block.reason()};
        options.waveFormat = block.take();
    }

    options.outputDir = parser.value(outputDir);
    if (parser.isSet(outputDir) && options.outputDir.isEmpty())
        return Failure{QStringLiteral("the output folder is empty")};
    options.recursive = parser.isSet(recursive);
    options.keepStructure = parser.isSet(keepStructure);
    if (options.keepStructure && (!options.recursive || options.outputDir.isEmpty()))
        return Failure{QStringLiteral("--keep-structure needs -o DIR and -R")};
    if (parser.isSet(existing)) {
        const auto rule = core::existingOutputFromName(parser.value(existing));
        if (!rule)
            return Failure{QStringLiteral("--existing '%1' is not copy, skip or replace")
                               .arg(parser.value(existing))};
        options.existing = *rule;
    }
    if (parser.isSet(name)) {
        options.namePattern = parser.value(name);
        if (const core::Status usable = core::checkNamePattern(options.namePattern); !usable)
            return Failure{QStringLiteral("--name: %1").arg(usable.reason())};
    }
    if (parser.isSet(replayGain)) {
        const auto scope = core::replayGainFromName(parser.value(replayGain));
        if (!scope)
            return Failure{QStringLiteral("--replaygain '%1' is not track or album")
                               .arg(parser.value(replayGain))};
        options.replayGain = *scope;
    }
    if (parser.isSet(shard)) {
        const QStringList parts = parser.value(shard).split(QLatin1Char('/'));
        const std::optional<int> k = parts.size() == 2 ? wholeNumber(parts[0]) : std::nullopt;
        const std::optional<int> n = parts.size() == 2 ? wholeNumber(parts[1]) : std::nullopt;
        if (!k || !n || *k < 1 || *k > *n)
            return Failure{QStringLiteral("--shard '%1' is not K/N with 1 <= K <= N")
                               .arg(parser.value(shard))};
        options.shard = *k;
        options.shards = *n;
    }
    options.quiet = parser.isSet(quiet);
    options.verbose = parser.isSet(verbose);
    options.reportLoopGap = parser.isSet(loopGap);
    options.sources = parser.positionalArguments();
    if (options.sources.isEmpty()) return Failure{QStringLiteral("no FILE or FOLDER given")};
    return options;
}

}  // namespace cli
