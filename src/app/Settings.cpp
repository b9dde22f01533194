#include "app/Settings.h"

#include "app/IniFile.h"
#include "app/PathHelpers.h"

#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace app {

QString ReadIniValue(const QString& section, const QString& key, const QString& path) {
    IniFile ini;
    if (!ini.load(path)) return QString();
    return ini.value(section, key).value_or(QString());
}

bool WriteIniValue(const QString& section, const QString& key, const QString& value,
                   const QString& path) {
    IniFile ini;
    return ini.load(path) && ini.setValue(section, key, value) && ini.save(path);
}

bool WriteIniValue(const QString& section, const QString& key, qint64 value, const QString& path) {
    return WriteIniValue(section, key, QString::number(value), path);
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

std::optional<qint64> IniNumber(const QString& text, int bits) {
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

void SaveSettings(const AppState& state, const SettingsControls& controls) {
    IniFile ini;
    if (!ini.load(state.SettingsPath)) return;  // an unreadable file is never replaced
    ini.setValue(kMainSection, QStringLiteral("0"), QString::number(controls.check1State()));
    ini.setValue(kMainSection, QStringLiteral("1"), QString::number(controls.check2State()));
    ini.setValue(kMainSection, QStringLiteral("2"), controls.text2());
    ini.setValue(kMainSection, QStringLiteral("3"), QString::number(state.Bitrate));
    ini.setValue(kMainSection, QStringLiteral("4"), QString::number(state.FormatIndex));
    ini.setValue(kMainSection, QStringLiteral("5"), QString::number(state.Stereo));
    ini.setValue(kMainSection, QStringLiteral("6"), QString::number(state.SampleRate));
    ini.save(state.SettingsPath);  // write failures are not reported
}

void LoadSettings(AppState& state, SettingsControls& controls) {
    IniFile ini;
    if (!ini.load(state.SettingsPath)) ini = IniFile();  // unreadable: every key reads empty
    auto read = [&](const char* key) {
        return ini.value(kMainSection, QLatin1String(key)).value_or(QString());
    };
    if (const auto v = IniNumber(read("0"), 16)) controls.setCheck1State(static_cast<int>(*v));
    if (const auto v = IniNumber(read("1"), 16)) controls.setCheck2State(static_cast<int>(*v));
    controls.setText2(read("2"));
    if (const auto v = IniNumber(read("3"), 32)) state.Bitrate = static_cast<qint32>(*v);
    if (const auto v = IniNumber(read("4"), 16)) state.FormatIndex = static_cast<qint16>(*v);
    if (const auto v = IniNumber(read("5"), 16)) state.Stereo = static_cast<qint16>(*v);
    if (const auto v = IniNumber(read("6"), 32)) state.SampleRate = static_cast<qint32>(*v);
}

void CreateDefaultSettings(AppState& state, SettingsControls& controls) {
    // Only a regular file is opened: opening a FIFO for reading would block.
    QFile file(state.SettingsPath);
    if (QFileInfo(state.SettingsPath).isFile() && file.open(QIODevice::ReadOnly)) return;
    controls.selectFormat(1);
    controls.setText2(state.AppDataFolder + PathSeparator() + QLatin1String("Output"));
    controls.setCheck1State(1);
    controls.setCheck2State(1);
    state.Bitrate = 160;
    state.FormatIndex = 1;
    state.Stereo = 1;
    state.SampleRate = 44100;
    SaveSettings(state, controls);
}

}  // namespace app
