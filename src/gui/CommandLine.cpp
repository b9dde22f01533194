#include "gui/CommandLine.h"

#include <QCoreApplication>

namespace gui {

namespace {

constexpr char kProgram[] = "sonbridge";
const QString kEndOfOptions = QStringLiteral("--");

}  // namespace

std::optional<PrintAndExit> printAndExitOption(const QStringList& arguments) {
    for (const QString& argument : arguments.mid(1)) {
        if (argument == kEndOfOptions) break;
        if (argument == QLatin1String("-h") || argument == QLatin1String("--help"))
            return PrintAndExit::Help;
        if (argument == QLatin1String("-V") || argument == QLatin1String("--version"))
            return PrintAndExit::Version;
    }
    return std::nullopt;
}

QString printAndExitText(PrintAndExit what) {
    if (what == PrintAndExit::Version)
        return QStringLiteral("%1 %2").arg(QLatin1String(kProgram),
                                           QLatin1String(SONBRIDGE_VERSION));
    return QCoreApplication::translate(
               "gui::CommandLine",
               "Usage: %1 [FILE|FOLDER]...\n"
               "Opens the Sonbridge window with the files listed; a folder lists the audio files "
               "below it.\n"
               "\n"
               "  -h, --help     show this help and exit\n"
               "  -V, --version  show the version and exit\n"
               "\n"
               "sonbridge-cli converts from a terminal.")
        .arg(QLatin1String(kProgram));
}

QStringList filesToList(const QStringList& arguments) {
    QStringList files = arguments.mid(1);
    files.removeOne(kEndOfOptions);
    return files;
}

}  // namespace gui
