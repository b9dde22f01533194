#include "core/Settings.h"

#include "core/IniFile.h"
#include "core/NamePattern.h"
#include "core/PathHelpers.h"

#include <QFile>
#include <QFileInfo>

#include <QThread>

#include <algorithm>
#include <cmath>

namespace core {

QString readIniValue(const QString& section, const QString& key, const QString& path) {
    IniFile ini;
    if (!ini.load(path)) return QString();
    return ini.value(section, key).value_or(QString());
}

bool writeIniValue(const QString& section, const QString& key, const QString& value,
                   const QString& path) {
    IniFile ini;
    return ini.load(path) && ini.setValue(section, key, value) && ini.save(path);
}

namespace {

// Length of the longest prefix of s (from pos) that reads as a number.
qsizetype numberLength(const QString& s, qsizetype pos) {
    qsizetype i = pos;
    auto digit = [&](qsizetype at) {
        return at < s.size() && s[at].isDigit() && s[at].unicode() < 128;
    };
    if (i < s.size() && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-'))) ++i;
    qsizetype digits = 0;
    while (digit(i)) ++i, ++digits;
    if (i < s.size() && s[i] == QLatin1Char('.')) {
        ++i;
        while (digit(i)) ++i, ++digits;
    }
    if (digits == 0) return 0;
    qsizetype end = i;
    if (i < s.size() && (s[i] == QLatin1Char('e') || s[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        if (j < s.size() && (s[j] == QLatin1Char('+') || s[j] == QLatin1Char('-'))) ++j;
        if (digit(j)) {
            while (digit(j)) ++j;
            end = j;
        }
    }
    return end - pos;
}

}  // namespace

std::optional<qint64> iniNumber(const QString& text, int bits) {
    qsizetype pos = 0;
    while (pos < text.size() && (text[pos] == QLatin1Char(' ') || text[pos] == QLatin1Char('\t')))
        ++pos;
    const qsizetype len = numberLength(text, pos);
    double value = 0.0;
    if (len > 0) {
        bool ok = false;
        value = text.mid(pos, len).toDouble(&ok);  // locale-independent
        // Beyond double's range: too large stays infinite and does not fit;
        // too small to represent (1e-400) is refused by Qt but rounds to 0.
        if (!ok && !std::isinf(value)) value = 0.0;
    }
    const double rounded = std::nearbyint(value);  // default rounding: half to even
    const double max = std::ldexp(1.0, bits - 1) - 1.0;
    const double min = -std::ldexp(1.0, bits - 1);
    if (!std::isfinite(rounded) || rounded > max || rounded < min) return std::nullopt;
    return static_cast<qint64>(rounded);
}

int defaultSimultaneousConversions() {
    return std::clamp(QThread::idealThreadCount(), 1, kMaxSimultaneousConversions);
}

void saveSettings(const Settings& settings, const QString& path) {
    IniFile ini;
    if (!ini.load(path)) return;  // an unreadable file is never replaced
    auto set = [&](const char* key, const QString& value) {
        ini.setValue(kMainSection, QLatin1String(key), value);
    };
    set("0", QString::number(settings.sameFolderBox));
    set("1", QString::number(settings.openFolderBox));
    set("2", settings.destination);
    set("3", QString::number(settings.encoder.bitrate));
    set("4", QString::number(settings.formatIndex));
    set("5", QString::number(settings.encoder.sourceChannels ? 2
                             : settings.encoder.stereo       ? 1
                                                             : 0));
    set("6", QString::number(settings.encoder.sampleRate));
    set("7", QString::number(settings.simultaneousConversions));
    set("8", QString::number(settings.copyTags ? 1 : 0));
    set("11", QString::number(settings.stopAtFirstFailure ? 1 : 0));
    // A default stays out of a file that never held the key.
    const auto setChoice = [&](const char* key, const QString& value, bool isDefault) {
        if (!isDefault || ini.value(kMainSection, QLatin1String(key))) set(key, value);
    };
    setChoice("ExistingOutputs", QString::number(int(settings.existingOutputs)),
              settings.existingOutputs == ExistingOutput::MakeCopy);
    setChoice("NamePattern", settings.namePattern, isDefaultNamePattern(settings.namePattern));
    setChoice("RecreateSubFolders", QString::number(settings.recreateSubFolders ? 1 : 0),
              !settings.recreateSubFolders);
    setChoice("ReplayGain", QString::number(int(settings.replayGain)),
              settings.replayGain == ReplayGain::Off);
    // Written once known, so a first run's file holds only the keys above.
    if (!settings.windowGeometry.isEmpty()) set("9", settings.windowGeometry);
    if (!settings.openFolder.isEmpty()) set("10", settings.openFolder);
    // Each format's mode and numbers, once chosen.
    for (const auto& [key, mode] : settings.encoder.modes.asKeyValueRange())
        ini.setValue(kMainSection, key, mode);
    for (const auto& [key, number] : settings.encoder.values.asKeyValueRange())
        ini.setValue(kMainSection, key, QString::number(number));
    (void)ini.save(path);  // write failures are not reported
}

namespace {

// A mode or number that is missing or out of range keeps the table's default.
void loadFormatChoices(const IniFile& ini, EncoderSettings& encoder) {
    encoder.modes.clear();
    encoder.values.clear();
    for (const FormatInfo& format : outputFormats()) {
        if (format.modeKey) {
            const QString id = ini.value(kMainSection, QLatin1String(format.modeKey))
                                   .value_or(QString())
                                   .trimmed();
            if (const EncoderMode* mode = findMode(format, id)) chooseMode(format, *mode, encoder);
        }
        for (const EncoderMode& mode : format.modes) {
            if (QLatin1String(mode.settingsKey) == QLatin1String("3")) continue;
            const QString text =
                ini.value(kMainSection, QLatin1String(mode.settingsKey)).value_or(QString());
            if (text.trimmed().isEmpty()) continue;
            if (const auto v = iniNumber(text, 32); v && modeAccepts(mode, *v))
                setModeNumber(mode, qint32(*v), encoder);
        }
    }
}

void firstRunDefaults(Settings& settings, const QString& appDataFolder) {
    settings.formatIndex = 1;
    settings.destination = appDataFolder + pathSeparator() + QLatin1String("Output");
    settings.sameFolderBox = 1;
    settings.openFolderBox = 1;
    settings.encoder = EncoderSettings{};
    settings.encoder.bitrate = 160;
    settings.encoder.sampleRate = 44100;
    settings.encoder.stereo = true;
    settings.simultaneousConversions = defaultSimultaneousConversions();
    settings.copyTags = true;
    settings.stopAtFirstFailure = true;
}

}  // namespace

void loadSettings(Settings& settings, const QString& path) {
    IniFile ini;
    // A file that can't be read, or isn't ours, would read as zeros
    // everywhere, an empty destination among them: the first-run values
    // serve instead, and nothing is written until the program saves.
    if (!ini.load(path) || !ini.hasSection(kMainSection)) {
        QString folder = folderOf(path);
        folder.chop(1);
        firstRunDefaults(settings, folder);
        return;
    }
    auto read = [&](const char* key) {
        return ini.value(kMainSection, QLatin1String(key)).value_or(QString());
    };
    // A box takes only 0, 1 and 2; any other value leaves it as it was.
    auto box = [](int& target, std::optional<qint64> v) {
        if (v && *v >= 0 && *v <= 2) target = static_cast<int>(*v);
    };
    box(settings.sameFolderBox, iniNumber(read("0"), 16));
    box(settings.openFolderBox, iniNumber(read("1"), 16));
    settings.destination = read("2");
    if (const auto v = iniNumber(read("3"), 32)) settings.encoder.bitrate = static_cast<qint32>(*v);
    if (const auto v = iniNumber(read("4"), 16)) settings.formatIndex = static_cast<qint16>(*v);
    // 0 mono, 1 stereo, 2 the source's channels (anything else: mono).
    if (const auto v = iniNumber(read("5"), 16)) {
        settings.encoder.sourceChannels = *v == 2;
        settings.encoder.stereo = *v == 1 || *v == 2;
    }
    if (const auto v = iniNumber(read("6"), 32))
        settings.encoder.sampleRate = static_cast<qint32>(*v);
    // Added later: a file without it keeps the default.
    if (const QString jobs = read("7"); !jobs.trimmed().isEmpty()) {
        if (const auto v = iniNumber(jobs, 32); v && *v >= 1)
            settings.simultaneousConversions =
                static_cast<int>(std::clamp<qint64>(*v, 1, kMaxSimultaneousConversions));
    }
    // Added later too, ticked unless the file says otherwise.
    if (const QString tags = read("8"); tags.trimmed().isEmpty())
        settings.copyTags = true;
    else if (const auto v = iniNumber(tags, 16))
        settings.copyTags = *v == 1;
    settings.windowGeometry = read("9");
    settings.openFolder = read("10");
    // Ticked unless the file says otherwise; a grey 2 counts as unticked.
    if (const QString stop = read("11"); stop.trimmed().isEmpty())
        settings.stopAtFirstFailure = true;
    else if (const auto v = iniNumber(stop, 16))
        settings.stopAtFirstFailure = *v == 1;
    // Values the window could not have written keep the defaults.
    if (const auto v = iniNumber(read("ExistingOutputs"), 16); v && *v >= 0 && *v <= 2)
        settings.existingOutputs = ExistingOutput(*v);
    if (const QString pattern = read("NamePattern"); checkNamePattern(pattern))
        settings.namePattern = pattern;
    if (const auto v = iniNumber(read("RecreateSubFolders"), 16))
        settings.recreateSubFolders = *v == 1;
    if (const auto v = iniNumber(read("ReplayGain"), 16); v && *v >= 0 && *v <= 2)
        settings.replayGain = ReplayGain(*v);
    loadFormatChoices(ini, settings.encoder);
}

bool createDefaultSettings(Settings& settings, const QString& appDataFolder, const QString& path) {
    // Only a regular file is opened: opening a FIFO for reading would block.
    QFile file(path);
    if (QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly)) return false;
    firstRunDefaults(settings, appDataFolder);
    saveSettings(settings, path);
    return true;
}

}  // namespace core
