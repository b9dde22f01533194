#pragma once
// An INI file read and written by the rules of the classic profile-string
// functions: section and key names match case-insensitively, blanks around
// keys and values are trimmed, one pair of surrounding quotes is dropped on
// read. Every line the program does not set is written back as it was.

#include <QString>
#include <QStringList>

#include <optional>

namespace core {

class IniFile {
public:
    // Loads the file. A missing file gives an empty document; false when
    // the file exists but cannot be read, so that saving cannot lose it.
    bool load(const QString& path);

    std::optional<QString> value(const QString& section, const QString& key) const;
    bool hasSection(const QString& section) const { return findSection(section).has_value(); }
    // False for names or values that would break the file's structure
    // (line breaks, a key holding '=' or read as a comment, a section
    // holding ']').
    bool setValue(const QString& section, const QString& key, const QString& value);

    // Writes to a new file and renames it over the old one.
    bool save(const QString& path) const;

    QString text() const;

private:
    struct Section {
        qsizetype header = -1;  // line index of "[name]", -1 for none found
        qsizetype lastEntry = -1;
    };
    std::optional<Section> findSection(const QString& section) const;
    qsizetype findKey(const Section& s, const QString& key) const;
    qsizetype sectionEnd(qsizetype header) const;
    QString lineEndCr() const;  // "\r" when new lines end in "\r\n"
    void appendLine(const QString& line);

    QStringList m_lines;
    bool m_crlf = false;  // new lines end in "\r\n", like the first line
    bool m_bom = false;
    bool m_trailingNewline = true;
};

}  // namespace core
