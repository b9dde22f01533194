#include "core/IniFile.h"

#include "core/NativePath.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace core {

namespace {

// "[name]" with blanks allowed around; returns the trimmed name.
std::optional<QString> sectionName(const QString& line) {
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('['))) return std::nullopt;
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    if (close < 0) return std::nullopt;
    return t.mid(1, close - 1).trimmed();
}

bool isComment(const QString& line) {
    const QString t = line.trimmed();
    return t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#'));
}

std::optional<QString> keyOf(const QString& line) {
    if (isComment(line)) return std::nullopt;
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0) return std::nullopt;
    return line.left(eq).trimmed();
}

QString unquote(QString v) {
    v = v.trimmed();
    if (v.size() >= 2) {
        const QChar first = v.front();
        if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && v.back() == first)
            return v.mid(1, v.size() - 2);
    }
    return v;
}

bool hasLineBreak(const QString& s) {
    return s.contains(QLatin1Char('\n')) || s.contains(QLatin1Char('\r'));
}

}  // namespace

bool IniFile::load(const QString& path) {
    m_lines.clear();
    m_bom = false;
    m_crlf = false;
    m_trailingNewline = true;
    QFile file(path);
    if (!file.exists()) return true;
    // A folder or a FIFO is not a settings file; opening a FIFO would block.
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) return false;
    QByteArray bytes = file.readAll();
    if (file.error() != QFile::NoError) return false;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        m_bom = true;
        bytes.remove(0, 3);
    }
    // Bytes that are not UTF-8 (another encoding, garbage) are escaped
    // rather than replaced, so that the save writes them back unchanged.
    QString text = pathFromNative(bytes);
    // Each line keeps its own "\r"; new lines follow the first line's ending.
    const qsizetype firstBreak = text.indexOf(QLatin1Char('\n'));
    if (firstBreak > 0 && text.at(firstBreak - 1) == QLatin1Char('\r')) m_crlf = true;
    if (text.isEmpty()) return true;
    m_trailingNewline = text.endsWith(QLatin1Char('\n'));
    if (m_trailingNewline) text.chop(1);
    m_lines = text.split(QLatin1Char('\n'));
    return true;
}

std::optional<IniFile::Section> IniFile::findSection(const QString& section) const {
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const auto name = sectionName(m_lines[i]);
        if (name && name->compare(section.trimmed(), Qt::CaseInsensitive) == 0) {
            Section s;
            s.header = i;
            const qsizetype end = sectionEnd(i);
            for (qsizetype j = i + 1; j < end; ++j) {
                if (!m_lines[j].trimmed().isEmpty()) s.lastEntry = j;
            }
            return s;
        }
    }
    return std::nullopt;
}

qsizetype IniFile::sectionEnd(qsizetype header) const {
    qsizetype j = header + 1;
    while (j < m_lines.size() && !sectionName(m_lines[j])) ++j;
    return j;
}

qsizetype IniFile::findKey(const Section& s, const QString& key) const {
    const qsizetype end = sectionEnd(s.header);
    for (qsizetype j = s.header + 1; j < end; ++j) {
        const auto k = keyOf(m_lines[j]);
        if (k && k->compare(key.trimmed(), Qt::CaseInsensitive) == 0) return j;
    }
    return -1;
}

std::optional<QString> IniFile::value(const QString& section, const QString& key) const {
    const auto s = findSection(section);
    if (!s) return std::nullopt;
    const qsizetype line = findKey(*s, key);
    if (line < 0) return std::nullopt;
    const QString& text = m_lines[line];
    return unquote(text.mid(text.indexOf(QLatin1Char('=')) + 1));
}

bool IniFile::setValue(const QString& section, const QString& key, const QString& value) {
    const QString sec = section.trimmed();
    const QString k = key.trimmed();
    if (sec.isEmpty() || k.isEmpty() || hasLineBreak(sec) || hasLineBreak(k) ||
        hasLineBreak(value) || sec.contains(QLatin1Char(']')) || k.contains(QLatin1Char('=')) ||
        k.startsWith(QLatin1Char('[')) || isComment(k))
        return false;
    const QString entry = k + QLatin1Char('=') + value;
    const auto s = findSection(sec);
    if (!s) {
        if (!m_lines.isEmpty() && !m_lines.back().trimmed().isEmpty()) appendLine(QString());
        appendLine(QLatin1Char('[') + sec + QLatin1Char(']'));
        appendLine(entry);
        return true;
    }
    const qsizetype line = findKey(*s, k);
    if (line >= 0) {
        const bool cr = m_lines[line].endsWith(QLatin1Char('\r'));
        m_lines[line] = cr ? entry + QLatin1Char('\r') : entry;
    } else {
        const qsizetype after = s->lastEntry >= 0 ? s->lastEntry : s->header;
        if (after + 1 == m_lines.size())
            appendLine(entry);
        else
            m_lines.insert(after + 1, entry + lineEndCr());
    }
    return true;
}

QString IniFile::lineEndCr() const {
    return m_crlf ? QStringLiteral("\r") : QString();
}

void IniFile::appendLine(const QString& line) {
    // A last line without its break gets one before anything follows it.
    if (!m_trailingNewline && !m_lines.isEmpty()) {
        if (!m_lines.back().endsWith(QLatin1Char('\r'))) m_lines.back() += lineEndCr();
        m_trailingNewline = true;
    }
    m_lines.append(line + lineEndCr());
}

QString IniFile::text() const {
    QString out = m_lines.join(QLatin1Char('\n'));
    if (m_trailingNewline && !m_lines.isEmpty()) out += QLatin1Char('\n');
    return out;
}

bool IniFile::save(const QString& path) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    QByteArray bytes;
    if (m_bom) bytes = "\xEF\xBB\xBF";
    bytes += nativePath(text());
    // QSaveFile::commit() renames even when its final flush failed, so the
    // flush is checked here first: a short write must never replace the file.
    if (file.write(bytes) != bytes.size() || !file.flush() || file.error() != QFile::NoError) {
        file.cancelWriting();
        file.commit();  // discards the temporary file
        return false;
    }
    return file.commit();
}

}  // namespace core
