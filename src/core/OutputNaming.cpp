#include "core/OutputNaming.h"

#include "core/AudioFiles.h"
#include "core/ConversionJob.h"
#include "core/NamePattern.h"
#include "core/NativePath.h"
#include "core/PathHelpers.h"

#include <QRegularExpression>

#include <sys/stat.h>

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

// An existing regular file or link that is not the source: Replace may take its place.
bool replaceable(const QString& path, const QString& sourcePath) {
    struct stat output {
    }, source{};
    if (::lstat(nativePath(path).constData(), &output) != 0) return false;
    if (S_ISLNK(output.st_mode)) return true;  // the link goes, never what it points to
    if (!S_ISREG(output.st_mode)) return false;
    return ::stat(nativePath(sourcePath).constData(), &source) != 0 ||
           source.st_dev != output.st_dev || source.st_ino != output.st_ino;
}

// Unfinished outputs never stand under final names, so a file there is a
// finished one; but the source itself (MP3 to MP3 beside it) is no output.
bool isFinishedOutput(const QString& path, const QString& sourcePath) {
    struct stat output {
    }, source{};
    if (::stat(nativePath(path).constData(), &output) != 0 || !S_ISREG(output.st_mode))
        return false;
    return ::stat(nativePath(sourcePath).constData(), &source) != 0 ||
           source.st_dev != output.st_dev || source.st_ino != output.st_ino;
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
    JobSpec spec;
    spec.source = sourcePath;
    spec.format = format;
    spec.sameFolder = sameFolder;
    spec.destination = destinationText;
    return planOutput(spec, reserved).path;
}

OutputPlan planOutput(const JobSpec& spec, const QSet<QString>& reserved) {
    QString folder = outputFolder(spec.source, spec.sameFolder, spec.destination);
    if (spec.recreateSubFolders && !spec.sameFolder)
        folder += subFolderBelow(spec.source, spec.addedFrom);
    QString base;
    if (isDefaultNamePattern(spec.namePattern)) {
        base = trimSpaces(withoutExtension(nameOnly(spec.source)));
    } else {
        const NameTags tags =
            patternUsesTags(spec.namePattern) ? readNameTags(spec.source) : NameTags{};
        const QString relative = expandNamePattern(
            spec.namePattern, spec.source, subFolderBelow(spec.source, spec.addedFrom), tags);
        folder += folderOf(relative);
        base = nameOnly(relative);
    }
    const QString extension = spec.format ? outputExtension(*spec.format) : QString();

    OutputPlan plan;
    // A folder holds finitely many entries, so a free name is always reached.
    for (int copy = 0;; ++copy) {
        plan.path = copyPath(folder, base, copy, extension);
        if (reserved.contains(plan.path)) continue;
        if (!taken(plan.path)) break;
        if (spec.existing == ExistingOutput::Skip && isFinishedOutput(plan.path, spec.source)) {
            plan.skip = true;
            return plan;
        }
        if (spec.existing == ExistingOutput::Replace && replaceable(plan.path, spec.source)) break;
    }
    core::createFolder(core::folderOf(plan.path));
    return plan;
}

}  // namespace core
