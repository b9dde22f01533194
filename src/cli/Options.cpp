#include "cli/Options.h"

#include "cli/WaveFormatSpec.h"
#include "core/AppFolders.h"
#include "core/NamePattern.h"
#include "core/Settings.h"

#include <QCommandLineParser>

#include <algorithm>
#include <array>
#include <optional>

namespace cli {

namespace {

constexpr std::array<int, 9> kRates{8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
constexpr int kMinKbps = 8;
constexpr int kMaxKbps = 320;

const core::EncoderSettings kFallbackEncoder{160, 44100, true};

bool knownRate(qint64 rate) {
    return std::find(kRates.begin(), kRates.end(), rate) != kRates.end();
}

QString rateList() {
    QStringList texts;
    for (int r : kRates) texts << QString::number(r);
    return texts.join(QStringLiteral(", "));
}

// The window's saved choices. A key that is missing, blank or holds what
// the window could not have saved (hand-edited, damaged) keeps the fallback.
core::Settings savedSettings(bool ignoreFile) {
    core::Settings settings;
    settings.formatIndex = qint16(core::outputFormatIndex(core::OutputFormat::Mp3));
    settings.encoder = kFallbackEncoder;
    if (ignoreFile) return settings;
    const QString path = core::appFolders().settingsPath;
    const auto number = [&](const char* key, int bits) -> std::optional<qint64> {
        const QString text = core::readIniValue(core::kMainSection, QLatin1String(key), path);
        if (text.trimmed().isEmpty()) return std::nullopt;
        return core::iniNumber(text, bits);
    };
    if (const auto v = number("4", 16); v && core::outputFormatFromIndex(int(*v)))
        settings.formatIndex = qint16(*v);
    if (const auto v = number("3", 32); v && *v >= kMinKbps && *v <= kMaxKbps)
        settings.encoder.bitrate = qint32(*v);
    if (const auto v = number("5", 16)) settings.encoder.stereo = *v == 1;
    if (const auto v = number("6", 32); v && knownRate(*v))
        settings.encoder.sampleRate = qint32(*v);
    if (const auto v = number("7", 32); v && *v >= 1)
        settings.simultaneousConversions =
            int(std::min<qint64>(*v, core::kMaxSimultaneousConversions));
    if (const auto v = number("8", 16)) settings.copyTags = *v == 1;
    return settings;
}

// A whole decimal number, nothing else.
std::optional<int> wholeNumber(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok || text.isEmpty() || !text.at(0).isDigit()) return std::nullopt;
    return value;
}

}  // namespace

QString helpText() {
    return QStringLiteral(
               "Usage: %1 [options] FILE|FOLDER...\n"
               "Converts audio files to WAV, MP3 or Ogg Vorbis with the batch of the Sonbridge "
               "window.\n"
               "\n"
               "  -f, --format wav|mp3|ogg   output format (default: the one saved by the "
               "window, else mp3)\n"
               "  -b, --bitrate KBPS         MP3/OGG bitrate, 8 to 320 (default: saved, else 160)\n"
               "  -r, --rate HZ              output sample rate, one of the window's 8000 to "
               "48000 (default: saved, else 44100)\n"
               "      --mono | --stereo      channel mode (default: saved, else stereo)\n"
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
               "WAV output without -w is PCM 16-bit, 44100 Hz stereo. A SPEC without rate or\n"
               "channels takes -r and --mono/--stereo when given, else the source's (or the\n"
               "nearest the codec takes); MP3 inside WAV takes the listed bitrate nearest to -b\n"
               "(128 when -b is not given).\n"
               "Without --existing an existing file is never overwritten: \"name (copy).mp3\", "
               "\"name (copy 2).mp3\" ...\n"
               "Defaults are read from %2 (never written).\n"
               "Exit status: 0 all converted, 1 any failed, 2 bad usage, 130 after SIGINT, "
               "143 after SIGTERM.\n")
        .arg(QLatin1String(kProgramName), core::appFolders().settingsPath);
}

core::Result<Options> parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    const QCommandLineOption format({"f", "format"}, {}, "format");
    const QCommandLineOption bitrate({"b", "bitrate"}, {}, "kbps");
    const QCommandLineOption rate({"r", "rate"}, {}, "hz");
    const QCommandLineOption mono("mono");
    const QCommandLineOption stereo("stereo");
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
    parser.addOptions({format,     bitrate,         rate,      mono,       stereo,
                       waveFormat, listWaveFormats, outputDir, recursive,  keepStructure,
                       noTags,     existing,        name,      shard,      replayGain,
                       jobs,       quiet,           verbose,   noSettings, help,
                       version,    loopGap});

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
    options.format = *core::outputFormatFromIndex(saved.formatIndex);
    options.encoder = saved.encoder;
    options.jobs = saved.simultaneousConversions;
    options.copyTags = saved.copyTags && !parser.isSet(noTags);

    if (parser.isSet(format)) {
        const QString name = parser.value(format).toLower();
        if (name == QLatin1String("wav"))
            options.format = core::OutputFormat::Wav;
        else if (name == QLatin1String("mp3"))
            options.format = core::OutputFormat::Mp3;
        else if (name == QLatin1String("ogg"))
            options.format = core::OutputFormat::Ogg;
        else
            return Failure{
                QStringLiteral("unknown format '%1' (wav, mp3 or ogg)").arg(parser.value(format))};
    }
    std::optional<int> askedKbps, askedRate, askedChannels;
    if (parser.isSet(bitrate)) {
        askedKbps = wholeNumber(parser.value(bitrate));
        if (!askedKbps || *askedKbps < kMinKbps || *askedKbps > kMaxKbps)
            return Failure{QStringLiteral("bitrate '%1' is not a number from %2 to %3")
                               .arg(parser.value(bitrate))
                               .arg(kMinKbps)
                               .arg(kMaxKbps)};
        options.encoder.bitrate = *askedKbps;
    }
    if (parser.isSet(rate)) {
        askedRate = wholeNumber(parser.value(rate));
        if (!askedRate || !knownRate(*askedRate))
            return Failure{QStringLiteral("rate '%1' is not one of %2 (Hz)")
                               .arg(parser.value(rate), rateList())};
        options.encoder.sampleRate = *askedRate;
    }
    if (parser.isSet(mono) && parser.isSet(stereo))
        return Failure{QStringLiteral("--mono and --stereo exclude each other")};
    if (parser.isSet(mono) || parser.isSet(stereo)) {
        options.encoder.stereo = parser.isSet(stereo);
        askedChannels = options.encoder.stereo ? 2 : 1;
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
