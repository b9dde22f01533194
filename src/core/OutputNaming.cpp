#include "core/OutputNaming.h"

#include "core/PathHelpers.h"

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

}  // namespace

QString buildOutputPath(const QString& sourcePath, std::optional<OutputFormat> format,
                        bool sameFolder, const QString& destinationText,
                        const QSet<QString>& reserved) {
    const QString base = trimSpaces(core::withoutExtension(core::nameOnly(sourcePath)));
    const QString extension = format ? outputExtension(*format) : QString();
    const QString folder = outputFolder(sourcePath, sameFolder, destinationText);

    QString output = folder + base + QLatin1Char('.') + extension;
    // A folder holds finitely many entries, so a free name is always reached.
    for (int copy = 1; taken(output) || reserved.contains(output); ++copy) {
        const QString mark =
            copy == 1 ? QStringLiteral(" (copy).") : QStringLiteral(" (copy %1).").arg(copy);
        output = folder + base + mark + extension;
    }

    core::createFolder(core::folderOf(output));
    return output;
}

}  // namespace core
