#include "convert/OutputNaming.h"

#include "app/PathHelpers.h"

namespace convert {
namespace {

// Only blanks are cut: a tab or another white-space character is part of the name.
QString TrimSpaces(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' ')) ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' ')) --last;
    return text.mid(first, last - first);
}

QString OutputFolder(const QString& sourcePath, bool sameFolder, const QString& destinationText) {
    if (sameFolder) return app::GetPATH(sourcePath);
    // Only the last character is looked at; the text is otherwise used as typed.
    const QChar sep = app::PathSeparator();
    if (destinationText.endsWith(sep) || destinationText.endsWith(QLatin1Char('/')))
        return destinationText;
    return destinationText + sep;
}

// "." and ".." name the folder itself and its parent: always taken, even
// before the folder is made.
bool Taken(const QString& path) {
    const QString name = app::NameOnly(path);
    return name == QLatin1String(".") || name == QLatin1String("..") || app::EntryExists(path);
}

}  // namespace

QString OutputExtension(int formatIndex) {
    switch (formatIndex) {
        case 0:
            return QStringLiteral("wav");
        case 1:
            return QStringLiteral("mp3");
        case 2:
            return QStringLiteral("ogg");
        default:
            return QString();
    }
}

QString BuildOutputPath(const QString& sourcePath, int formatIndex, bool sameFolder,
                        const QString& destinationText) {
    const QString base = TrimSpaces(app::WithoutExtension(app::NameOnly(sourcePath)));
    const QString extension = OutputExtension(formatIndex);
    const QString folder = OutputFolder(sourcePath, sameFolder, destinationText);

    QString output = folder + base + QLatin1Char('.') + extension;
    // A folder holds finitely many entries, so a free name is always reached.
    for (int copy = 1; Taken(output); ++copy) {
        const QString mark =
            copy == 1 ? QStringLiteral(" (copy).") : QStringLiteral(" (copy %1).").arg(copy);
        output = folder + base + mark + extension;
    }

    app::CreateFolder(app::GetPATH(output));
    return output;
}

}  // namespace convert
