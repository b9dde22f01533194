#include "core/NamePattern.h"

#include "core/NativePath.h"
#include "core/PathHelpers.h"

#include <taglib/fileref.h>
#include <taglib/tfilestream.h>
#include <taglib/tpropertymap.h>
#include <QCoreApplication>

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>

namespace core {

namespace {

const QStringList kFields{"artist", "albumartist", "album", "title", "track",
                          "disc",   "year",        "genre", "name",  "folder"};
const QStringList kTagFields{"artist", "albumartist", "album", "title",
                             "track",  "disc",        "year",  "genre"};

const QRegularExpression& fieldPattern() {
    static const QRegularExpression re(QStringLiteral("\\{([^{}]*)\\}"));
    return re;
}

QString trimmedSpaces(const QString& text) {
    qsizetype first = 0, last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' ')) ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' ')) --last;
    return text.mid(first, last - first);
}

QString firstValue(const TagLib::PropertyMap& map, const char* key) {
    const auto it = map.find(key);
    if (it == map.end() || it->second.isEmpty()) return {};
    return QString::fromStdString(it->second.front().to8Bit(true)).trimmed();
}

// "3/12" or "3" as "03"; empty when there is no number.
QString twoDigits(const QString& value) {
    static const QRegularExpression number(QStringLiteral("^\\s*(\\d+)"));
    const QRegularExpressionMatch m = number.match(value);
    return m.hasMatch()
               ? QStringLiteral("%1").arg(m.captured(1).toLongLong(), 2, 10, QLatin1Char('0'))
               : QString();
}

QString yearOf(const QString& date) {
    static const QRegularExpression year(QStringLiteral("\\d{4}"));
    return year.match(date).captured(0);
}

// A field's safe value; missing or nothing left after making it safe: the fallback.
QString fieldValue(const QString& field, const QString& name, const NameTags& tags) {
    const auto pick = [](std::initializer_list<QString> candidates, const QString& fallback) {
        for (const QString& c : candidates)
            if (const QString safe = safeNamePart(c); !safe.isEmpty()) return safe;
        return fallback;
    };
    const QString unknownArtist = QCoreApplication::translate("core", "Unknown artist");
    if (field == QLatin1String("artist")) return pick({tags.artist}, unknownArtist);
    if (field == QLatin1String("albumartist"))
        return pick({tags.albumArtist, tags.artist}, unknownArtist);
    if (field == QLatin1String("album"))
        return pick({tags.album}, QCoreApplication::translate("core", "Unknown album"));
    if (field == QLatin1String("title"))
        return pick({tags.title, name}, QCoreApplication::translate("core", "Unknown title"));
    if (field == QLatin1String("track")) return pick({twoDigits(tags.track)}, QStringLiteral("00"));
    if (field == QLatin1String("disc")) return pick({twoDigits(tags.disc)}, QStringLiteral("00"));
    if (field == QLatin1String("year"))
        return pick({yearOf(tags.year)}, QCoreApplication::translate("core", "Unknown year"));
    if (field == QLatin1String("genre"))
        return pick({tags.genre}, QCoreApplication::translate("core", "Unknown genre"));
    return pick({name}, QCoreApplication::translate("core", "Unknown title"));
}

}  // namespace

NameTags readNameTags(const QString& path) {
    // Read-only: a source is never opened for writing.
    TagLib::FileStream stream(nativePath(path).constData(), true);
    if (!stream.isOpen()) return {};
    TagLib::FileRef ref(&stream, false);
    if (ref.isNull()) return {};
    const TagLib::PropertyMap map = ref.file()->properties();
    return NameTags{firstValue(map, "ARTIST"),      firstValue(map, "ALBUMARTIST"),
                    firstValue(map, "ALBUM"),       firstValue(map, "TITLE"),
                    firstValue(map, "TRACKNUMBER"), firstValue(map, "DISCNUMBER"),
                    firstValue(map, "DATE"),        firstValue(map, "GENRE")};
}

Status checkNamePattern(const QString& pattern) {
    QString rest = pattern;
    QRegularExpressionMatchIterator it = fieldPattern().globalMatch(pattern);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (!kFields.contains(m.captured(1)))
            return Failure{QStringLiteral("unknown field {%1} (%2)")
                               .arg(m.captured(1), QStringLiteral("{") +
                                                       kFields.join(QStringLiteral("} {")) +
                                                       QStringLiteral("}"))};
    }
    rest.remove(fieldPattern());
    if (rest.contains(QLatin1Char('{')) || rest.contains(QLatin1Char('}')))
        return Failure{QStringLiteral("a brace without its field in '%1'").arg(pattern)};
    return {};
}

bool patternUsesTags(const QString& pattern) {
    QRegularExpressionMatchIterator it = fieldPattern().globalMatch(pattern);
    while (it.hasNext())
        if (kTagFields.contains(it.next().captured(1))) return true;
    return false;
}

bool isDefaultNamePattern(const QString& pattern) {
    return pattern.isEmpty() || pattern == kDefaultNamePattern;
}

QString safeNamePart(const QString& text, qsizetype maxBytes) {
    QString safe = text;
    for (QChar& c : safe)
        if (c == QLatin1Char('/') || c.category() == QChar::Other_Control) c = QLatin1Char('_');
    const auto trim = [&safe] {
        qsizetype first = 0, last = safe.size();
        while (first < last &&
               (safe.at(first) == QLatin1Char('.') || safe.at(first) == QLatin1Char(' ')))
            ++first;
        while (last > first &&
               (safe.at(last - 1) == QLatin1Char('.') || safe.at(last - 1) == QLatin1Char(' ')))
            --last;
        safe = safe.mid(first, last - first);
    };
    trim();
    if (nativePath(safe).size() <= maxBytes) return safe;
    qsizetype end = safe.size();
    while (end > 0 && nativePath(safe.left(end)).size() > maxBytes) {
        --end;
        if (end > 0 && safe.at(end).isLowSurrogate() && safe.at(end - 1).isHighSurrogate()) --end;
    }
    safe.truncate(end);
    trim();
    return safe;
}

QString expandNamePattern(const QString& pattern, const QString& sourcePath,
                          const QString& subFolder, const NameTags& tags) {
    const QString name = trimmedSpaces(withoutExtension(nameOnly(sourcePath)));
    // {folder} keeps its own folders: each of its parts is made safe alone.
    QStringList folderParts;
    for (const QString& part : subFolder.split(QLatin1Char('/'), Qt::SkipEmptyParts))
        if (const QString safe = safeNamePart(part); !safe.isEmpty()) folderParts << safe;

    QString expanded;
    qsizetype at = 0;
    QRegularExpressionMatchIterator it = fieldPattern().globalMatch(pattern);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        expanded += pattern.mid(at, m.capturedStart() - at);
        at = m.capturedEnd();
        const QString field = m.captured(1);
        expanded += field == QLatin1String("folder") ? folderParts.join(QLatin1Char('/'))
                                                     : fieldValue(field, name, tags);
    }
    expanded += pattern.mid(at);

    QStringList parts;
    for (const QString& part : expanded.split(QLatin1Char('/'), Qt::SkipEmptyParts))
        if (const QString safe = safeNamePart(part); !safe.isEmpty()) parts << safe;
    if (parts.isEmpty()) parts << fieldValue(QStringLiteral("name"), name, tags);
    return parts.join(QLatin1Char('/'));
}

}  // namespace core
