// sonbridge-cli: the window's batch from a terminal or a script.

#include "cli/Console.h"
#include "cli/Options.h"
#include "cli/Runner.h"
#include "cli/Sources.h"
#include "cli/WaveFormatSpec.h"
#include "core/FfmpegUtil.h"
#include "core/NativePath.h"
#include "core/PathHelpers.h"
#include "core/SignalNotifier.h"

#include <sys/stat.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QTimer>
#include <csignal>

namespace {

bool showWarnings = false;

// Failure reasons reach the person through the per-file lines; the core's
// own warnings (the libraries' words behind them) only with --verbose.
void dropWarnings(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg || (showWarnings && type == QtWarningMsg))
        cli::Console(false).err(
            QStringLiteral("%1: %2").arg(QLatin1String(cli::kProgramName), message));
}

int usageError(cli::Console& console, const QString& message) {
    console.err(QStringLiteral("%1: %2").arg(QLatin1String(cli::kProgramName), message));
    console.err(QStringLiteral("Try '%1 --help' for more information.")
                    .arg(QLatin1String(cli::kProgramName)));
    return cli::kBadUsage;
}

}  // namespace

int main(int argc, char* argv[]) {
    // A reader that went away (sonbridge-cli ... | head) must not end the conversions.
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QLatin1String(cli::kProgramName));
    QCoreApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION));
    qInstallMessageHandler(dropWarnings);
    av_log_set_level(AV_LOG_QUIET);

    // File names are bytes: QCoreApplication::arguments() would turn bytes
    // that are not UTF-8 into U+FFFD and name files that do not exist.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << core::pathFromNative(argv[i]);

    cli::Console plain(false);
    core::Result<cli::Options> parsed = cli::parseCommandLine(arguments);
    if (!parsed) return usageError(plain, parsed.reason());
    const cli::Options options = parsed.take();
    showWarnings = options.verbose;
    switch (options.action) {
        case cli::Action::Help:
            plain.out(cli::helpText().chopped(1));
            return cli::kAllConverted;
        case cli::Action::Version:
            plain.out(QStringLiteral("%1 %2").arg(QLatin1String(cli::kProgramName),
                                                  QCoreApplication::applicationVersion()));
            return cli::kAllConverted;
        case cli::Action::ListWaveFormats:
            plain.out(cli::waveFormatListing().chopped(1));
            return cli::kAllConverted;
        case cli::Action::Run:
            break;
    }

    if (const QString library = core::ff::versionMismatch(); !library.isEmpty()) {
        plain.err(QStringLiteral("%1: An incorrect version of %2 was loaded")
                      .arg(QLatin1String(cli::kProgramName), library));
        return cli::kSomeFailed;
    }

    core::SignalNotifier signalNotifier;
    const cli::Sources sources =
        cli::collectSources(options, [] { return core::SignalNotifier::caught() != 0; });
    if (sources.interrupted) return core::exitStatusForSignal(core::SignalNotifier::caught());
    for (const QString& error : sources.errors)
        plain.err(QStringLiteral("%1: %2").arg(QLatin1String(cli::kProgramName), error));
    // A share of a list can be empty: nothing to do is then no failure.
    if (sources.jobs.isEmpty() && sources.errors.isEmpty() && sources.listed > 0)
        return cli::kAllConverted;
    if (sources.jobs.isEmpty()) {
        if (sources.errors.isEmpty())
            plain.err(
                QStringLiteral("%1: no files to convert").arg(QLatin1String(cli::kProgramName)));
        return cli::kSomeFailed;
    }
    if (!options.outputDir.isEmpty()) {
        core::createFolder(options.outputDir + QLatin1Char('/'));
        struct stat st {};
        if (::stat(core::nativePath(options.outputDir).constData(), &st) != 0 ||
            !S_ISDIR(st.st_mode)) {
            plain.err(QStringLiteral("%1: %2: the folder cannot be created")
                          .arg(QLatin1String(cli::kProgramName), options.outputDir));
            return cli::kSomeFailed;
        }
    }

    cli::Console console(cli::isTerminal(STDOUT_FILENO) && !options.quiet);
    cli::Runner runner(options, sources.jobs, int(sources.errors.size()), console);
    QObject::connect(&signalNotifier, &core::SignalNotifier::received, &runner,
                     &cli::Runner::stopBySignal);
    // From the event loop: a batch whose files are all skipped ends within start().
    QTimer::singleShot(0, &runner, &cli::Runner::start);
    return QCoreApplication::exec();
}
