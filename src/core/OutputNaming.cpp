#include "core/OutputNaming.h"

#include "core/NativePath.h"
#include "core/PathHelpers.h"

#include <QRegularExpression>

namespace core {
namespace {

// Only blanks are cut: a tab or another white-space character is part of the name.
QString trimSpaces(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' ')) ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' ')) --last;
    return text.mid(first, last - first);
}

QString outputFolder(const QString& sourcePath, bool sameFolder, const QString& destinationText) {
    if (sameFolder) return core::folderOf(sourcePath);
    // Only the last character is looked at; the text is otherwise used as typed.
    const QChar sep = core::pathSeparator();
    if (destinationText.endsWith(sep) || destinationText.endsWith(QLatin1Char('/')))
        return destinationText;
    return destinationText + sep;
}

// "." and ".." name the folder itself and its parent: always taken, even
// before the folder is made.
bool taken(const QString& path) {
    const QString name = core::nameOnly(path);
    return name == QLatin1String(".") || name == QLatin1String("..") || core::entryExists(path);
}

constexpr qsizetype kMaxNameBytes = 255;

// folder + base + the mark of copy number `copy` + extension.
QString copyPath(const QString& folder, const QString& base, int copy, const QString& extension) {
    const QString mark = copy == 0   ? QStringLiteral(".")
                         : copy == 1 ? QStringLiteral(" (copy).")
                                     : QStringLiteral(" (copy %1).").arg(copy);
    return folder + fitFileName(base, mark + extension);
}

}  // namespace

QString fitFileName(const QString& stem, const QString& suffix) {
    const qsizetype suffixBytes = nativePath(suffix).size();
    qsizetype end = stem.size();
    while (end > 0 && nativePath(stem.left(end)).size() + suffixBytes > kMaxNameBytes) {
        --end;
        // Never split a surrogate pair.
        if (end > 0 && stem.at(end).isLowSurrogate() && stem.at(end - 1).isHighSurrogate()) --end;
    }
    return stem.left(end) + suffix;
}

QString nextFreeOutputPath(const QString& takenPath) {
    static const QRegularExpression copyMark(QStringLiteral("^(.*?)(?: \\(copy(?: (\\d+))?\\))?$"),
                                             QRegularExpression::DotMatchesEverythingOption);
    const QString folder = folderOf(takenPath);
    const QString name = nameOnly(takenPath);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot >= 0 ? name.mid(dot + 1) : QString();
    const QRegularExpressionMatch m = copyMark.match(dot >= 0 ? name.left(dot) : name);
    const QString base = m.captured(1);
    int copy = m.captured(2).isEmpty() ? (m.capturedLength(0) > base.size() ? 1 : 0)
                                       : m.captured(2).toInt();
    QString output;
    do {
        output = copyPath(folder, base, ++copy, extension);
    } while (taken(output));
    return output;
}

QString buildOutputPath(const QString& sourcePath, std::optional<OutputFormat> format,
                        bool sameFolder, const QString& destinationText,
                        const QSet<QString>& reserved) {
    const QString base = trimSpaces(core::withoutExtension(core::nameOnly(sourcePath)));
    const QString extension = format ? outputExtension(*format) : QString();
    const QString folder = outputFolder(sourcePath, sameFolder, destinationText);

    QString output = copyPath(folder, base, 0, extension);
    // A folder holds finitely many entries, so a free name is always reached.
    for (int copy = 1; taken(output) || reserved.contains(output); ++copy)
        output = copyPath(folder, base, copy, extension);

    core::createFolder(core::folderOf(output));
    return output;
}

}  // namespace core
