// Arbitrary bytes as a settings file: load, look up, set one value, save,
// reload. The value set must read back and every untouched line stay. The
// number rule gets the value and must agree with the C library's strtod.
//
// Input: <file bytes> [ '\0' <section> '\n' <key> '\n' <value> ]

#include "FuzzSupport.h"
#include "core/IniFile.h"
#include "core/Settings.h"

#include <cmath>

namespace {

// The file's lines without their line ends (BOM dropped; a "\r" before the
// "\n" or at the very end belongs to the line end).
QStringList linesOf(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) std::abort();
    QByteArray bytes = f.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    if (bytes.endsWith('\n')) bytes.chop(1);
    QStringList lines;
    for (QByteArray line : bytes.split('\n'))
        lines << QString::fromUtf8(line.endsWith('\r') ? line.chopped(1) : line);
    return bytes.isEmpty() ? QStringList() : lines;
}

// What a value reads back as: blanks trimmed, one pair of quotes dropped.
QString readBack(const QString& value) {
    const QString v = value.trimmed();
    const bool quoted = v.size() >= 2 && (v.front() == '"' || v.front() == '\'');
    return quoted && v.back() == v.front() ? v.mid(1, v.size() - 2) : v;
}

// The result fits the width and, where both rules read the same number text
// (blanks, a sign, then a digit or a point; no hexadecimal), is strtod's
// reading rounded half to even.
void checkNumber(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    const char* p = bytes.constData();
    while (*p == ' ' || *p == '\t') ++p;
    const char* q = (*p == '+' || *p == '-') ? p + 1 : p;
    const bool comparable = ((*q >= '0' && *q <= '9') || *q == '.') && !bytes.contains('\0') &&
                            !(q[0] == '0' && (q[1] == 'x' || q[1] == 'X'));
    const double reference = std::nearbyint(comparable ? std::strtod(p, nullptr) : 0);
    for (const int bits : {16, 32}) {
        const auto n = core::iniNumber(text, bits);
        const double max = std::ldexp(1.0, bits - 1) - 1, min = -max - 1;
        if (n) CHECK(*n >= min && *n <= max);
        if (!comparable) continue;
        const bool fits = std::isfinite(reference) && reference >= min && reference <= max;
        CHECK(fits == n.has_value() && (!fits || *n == qint64(reference)));
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
    const QByteArray file = nul >= 0 ? input.left(nul) : input;
    QStringList parts{"Main", "2", "/home/user/Music/Output"};
    if (nul >= 0) {
        parts = QString::fromUtf8(input.mid(nul + 1)).split('\n');
        parts = QStringList{parts.value(0), parts.value(1), parts.mid(2).join('\n')};
        checkNumber(parts[2]);
    }
    const QString &section = parts[0], &key = parts[1], &value = parts[2];
    const QString in = fuzz::writeFile("in.ini", file.constData(), size_t(file.size()));
    const QString out = fuzz::tempPath("out.ini");
    QFile::remove(out);

    core::IniFile ini;
    CHECK(ini.load(in));
    const QStringList before = linesOf(in);
    const bool set = ini.setValue(section, key, value);
    if (set) CHECK(ini.value(section, key) == readBack(value));
    if (!ini.save(out)) return 0;  // only a full disk could refuse
    if (set) CHECK(core::readIniValue(section, key, out) == readBack(value));

    // Untouched lines survive: one line replaced, one inserted, or a new
    // section (perhaps after a blank line) appended.
    const QStringList after = linesOf(out);
    const qsizetype grown = after.size() - before.size();
    qsizetype same = 0;
    while (same < before.size() && same < after.size() && after[same] == before[same]) ++same;
    CHECK(!set         ? after == before
          : grown == 0 ? after.mid(same + 1) == before.mid(same + 1)
          : grown == 1 ? after.mid(same + 1) == before.mid(same)
                       : (grown == 2 || grown == 3) && same == before.size());
    return 0;
}
