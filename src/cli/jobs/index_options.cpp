#include "cli/jobs/index_options.h"

#include "engine/index_series.h"
#include "engine/path_utils.h"
#include "i18n/own_texts.h"

#include <QDir>
#include <QFileInfo>

#include <unistd.h>

std::optional<int> ReadNumberOption(const QCommandLineParser& parser,
                                    const QCommandLineOption& option, int minimum, int maximum,
                                    const BatchJob& job, int& value) {
    if (!parser.isSet(option))
        return std::nullopt;
    bool ok = false;
    const int number = parser.value(option).toInt(&ok);
    if (!ok || number < minimum || number > maximum)
        return UsageError(OwnText("cli.index.out_of_range")
                              .arg(QStringLiteral("--") + option.names().constLast())
                              .arg(minimum)
                              .arg(maximum),
                          &job);
    value = number;
    return std::nullopt;
}

int RunIndexJobOnConsole(const IndexRunSetup& setup, const IndexJobCall& call) {
    ConsoleOptions console;
    console.assumeYes = setup.assumeYes;
    console.showProgress = ::isatty(STDERR_FILENO) == 1;
    ConsoleJobHost host(LoadBatchSettings(), console);
    // Without a tree, the files' own folder is where "the source folder" is.
    QStringList startFolders = setup.targets.paths;
    if (setup.recursive)
        host.setStartFolders(startFolders);
    else {
        host.setFiles(setup.targets.paths);
        startFolders = QStringList{FileFolder(setup.targets.paths.value(0))};
    }
    InstallInterruptHandler(host.stopFlags());
    ConsoleIndexReporter reporter(host);
    IndexJobResult result;
    try {
        result = call(host, startFolders, reporter);
    } catch (...) {
        // Reported by the tool (e.g. sheets larger than a picture may be),
        // below a finished progress line.
        host.endProgressLine();
        throw;
    }
    host.endProgressLine();
    const int skipped = setup.targets.skipped + host.skipped();
    if (result.refusedWith == 0)
        PrintOut(OwnText(setup.writtenKey).arg(result.written) + QLatin1Char('\n'));
    if (skipped > 0)
        PrintError(OwnText("cli.skipped_count").arg(skipped));
    if (InterruptRequested())
        return ExitStatus::Interrupted;
    return skipped > 0 ? ExitStatus::Error : ExitStatus::Done;
}
