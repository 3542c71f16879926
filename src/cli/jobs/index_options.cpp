#include "cli/jobs/index_options.h"

#include "engine/index_series.h"
#include "engine/path_utils.h"
#include "i18n/own_texts.h"

#include <QDir>
#include <QFileInfo>

std::optional<int> DestinationOptions::read(const QCommandLineParser& parser, const BatchJob& job,
                                            DestinationChoice& choice) const {
    const int given =
        int(parser.isSet(dest)) + int(parser.isSet(sourceFolder)) + int(parser.isSet(subFolder));
    if (given > 1)
        return UsageError(OwnText("cli.index.one_destination"), &job);
    if (parser.isSet(dest)) {
        const QString folder = parser.value(dest);
        if (folder.isEmpty())
            return UsageError(OwnText("cli.needs_value").arg(QStringLiteral("--dest")), &job);
        const QFileInfo info(folder);
        if (!info.isDir()) {
            PrintError(OwnText("cli.index.bad_dest").arg(ShownPath(folder)));
            return ExitStatus::Error;
        }
        choice.kind = DestinationKind::SetFolder;
        choice.setFolder = AddTrailingBackslash(QDir::cleanPath(info.absoluteFilePath()));
    } else if (parser.isSet(subFolder)) {
        const QString name = parser.value(subFolder);
        if (name.isEmpty())
            return UsageError(OwnText("cli.needs_value").arg(QStringLiteral("--subfolder")), &job);
        choice.kind = DestinationKind::SubFolder;
        choice.subFolder = name;
    } else {
        choice.kind = DestinationKind::SourceFolder;
    }
    return std::nullopt;
}

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
    ConsoleIndexReporter reporter(host);
    IndexJobResult result;
    // An error (e.g. sheets larger than a picture may be) is reported by the
    // tool, below a finished progress line.
    RunOnConsole(host, [&] { result = call(host, startFolders, reporter); });
    if (result.refusedWith == 0)
        PrintOut(OwnText(setup.writtenKey).arg(result.written) + QLatin1Char('\n'));
    return FinalStatus(ReportSkippedCount(setup.targets, host));
}
