#include "cli/jobs/index_options.h"

#include "fs/path_utils.h"
#include "i18n/own_texts.h"
#include "jobs/index/index_series.h"

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
    ConsoleJobHost host(LoadBatchSettings(), ConsoleOptionsFor(setup.assumeYes));
    GiveTargets(host, setup.targets, setup.recursive);
    // Without a tree, the files' own folder is where "the source folder" is.
    const QStringList startFolders = setup.recursive
                                         ? setup.targets.paths
                                         : QStringList{FileFolder(setup.targets.paths.value(0))};
    ConsoleIndexReporter reporter(host, setup.nullSeparated);
    IndexJobResult result;
    // An error (e.g. sheets larger than a picture may be) is reported by the
    // tool, below a finished progress line.
    RunOnConsole(host, [&] { result = call(host, startFolders, reporter); });
    if (!result.refusedWith)
        PrintCount(OwnText(setup.writtenKey).arg(result.written), setup.nullSeparated);
    return FinalStatus(ReportSkippedCount(setup.targets, host));
}
