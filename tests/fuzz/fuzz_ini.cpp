// Arbitrary bytes as a settings file: load, look up, set one value, save,
// reload. The value set must read back, every other key must keep its value
// and every untouched line must still be in the file. The number rule gets
// each value read and a tail of text after a NUL byte.
//
// Input: <file bytes> [ '\0' <section> '\n' <key> '\n' <value> ]

#include "FuzzSupport.h"
#include "core/IniFile.h"
#include "core/Settings.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

namespace {

// The file's lines without their line ends (BOM dropped; a "\r" before the
// "\n" or at the very end belongs to the line end).
QStringList linesOf(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) std::abort();
    QByteArray bytes = f.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    if (bytes.endsWith('\n')) bytes.chop(1);
    if (bytes.isEmpty()) return {};
    QStringList lines;
    for (QByteArray line : bytes.split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        lines.append(QString::fromUtf8(line));
    }
    return lines;
}

// What a value reads back as: blanks trimmed, one pair of quotes dropped.
QString expectedReadBack(const QString& value) {
    const QString v = value.trimmed();
    if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')) &&
        v.back() == v.front())
        return v.mid(1, v.size() - 2);
    return v;
}

// The C library's reading of the same number, where both rules agree on
// what the number text is: an optional sign followed by a digit or a point.
std::optional<double> strtodReading(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    const char* p = bytes.constData();
    while (*p == ' ' || *p == '\t') ++p;
    const char* q = (*p == '+' || *p == '-') ? p + 1 : p;
    if (!(*q >= '0' && *q <= '9') && *q != '.') return std::nullopt;
    // strtod also reads hexadecimal; the rule stops at the 'x'.
    if (q[0] == '0' && (q[1] == 'x' || q[1] == 'X')) return std::nullopt;
    if (bytes.contains('\0')) return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(p, &end);
    if (end == p) return 0.0;
    return v;
}

// The result fits the width and agrees with the C library where both apply.
void checkNumber(const QString& text) {
    for (const int bits : {16, 32}) {
        const auto n = core::iniNumber(text, bits);
        const qint64 max = (qint64(1) << (bits - 1)) - 1;
        const qint64 min = -(qint64(1) << (bits - 1));
        if (n) CHECK(*n >= min && *n <= max);
        if (const auto ref = strtodReading(text)) {
            const double r = std::nearbyint(*ref);
            const bool fits = std::isfinite(r) && r >= double(min) && r <= double(max);
            CHECK(fits == n.has_value());
            if (fits) CHECK(*n == qint64(r));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qInstallMessageHandler(fuzz::quietMessages);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype nul = input.lastIndexOf('\0');
    const QByteArray fileBytes = nul >= 0 ? input.left(nul) : input;
    QString section = QStringLiteral("Main");
    QString key = QStringLiteral("2");
    QString value = QStringLiteral("/home/user/Music/Output");
    if (nul >= 0) {
        const QStringList parts = QString::fromUtf8(input.mid(nul + 1)).split(QLatin1Char('\n'));
        section = parts.value(0);
        key = parts.value(1);
        value = parts.mid(2).join(QLatin1Char('\n'));
        checkNumber(value);
    }

    const QString in = fuzz::tempDir()->filePath(QStringLiteral("in.ini"));
    const QString out = fuzz::tempDir()->filePath(QStringLiteral("out.ini"));
    fuzz::writeFile(in, fileBytes.constData(), fileBytes.size());
    QFile::remove(out);

    core::IniFile ini;
    CHECK(ini.load(in));
    const QStringList before = linesOf(in);

    // Every key=value line under its section: looked up, read as a number.
    struct Probe {
        QString section, key;
        std::optional<QString> value;
    };
    std::vector<Probe> probes;
    QString current;
    for (const QString& line : before) {
        const QString t = line.trimmed();
        if (t.startsWith(QLatin1Char('[')) && t.contains(QLatin1Char(']'))) {
            current = t.mid(1, t.indexOf(QLatin1Char(']')) - 1).trimmed();
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0 || probes.size() >= 64) continue;
        Probe p{current, line.left(eq), ini.value(current, line.left(eq))};
        if (p.value) checkNumber(*p.value);
        probes.push_back(p);
    }

    const bool set = ini.setValue(section, key, value);
    if (set) CHECK(ini.value(section, key) == expectedReadBack(value));
    if (!ini.save(out)) return 0;  // only a full disk could refuse

    core::IniFile again;
    CHECK(again.load(out));
    if (set) {
        CHECK(again.value(section, key) == expectedReadBack(value));
        CHECK(core::readIniValue(section, key, out) == expectedReadBack(value));
    }

    auto sameName = [](const QString& a, const QString& b) {
        return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
    };
    for (const Probe& p : probes) {
        if (set && sameName(p.section, section) && sameName(p.key, key)) continue;
        CHECK(again.value(p.section, p.key) == p.value);
    }

    // Untouched lines survive: one line replaced, one inserted, or a new
    // section (perhaps after a blank line) appended.
    const QStringList after = linesOf(out);
    const qsizetype grown = after.size() - before.size();
    if (!set) {
        CHECK(after == before);
    } else if (grown == 0) {
        int changed = 0;
        for (qsizetype i = 0; i < before.size(); ++i) changed += after[i] != before[i];
        CHECK(changed <= 1);
    } else if (grown == 1) {
        qsizetype i = 0;
        while (i < before.size() && after[i] == before[i]) ++i;
        CHECK(after.mid(i + 1) == before.mid(i));
    } else {
        CHECK((grown == 2 || grown == 3) && after.first(before.size()) == before);
    }
    return 0;
}
