// kelvasto-batch index: index pictures (contact sheets) of the files or trees
// named on the command line, under one stem name or series by series.

#include "cli/batch_job.h"
#include "cli/jobs/index_options.h"
#include "i18n/own_texts.h"

#include <QCommandLineParser>

extern const BatchJob kIndexJob;

namespace {

QString help() {
    return OwnText("cli.index.help");
}

// "all-letters" or "first-chars:N".
bool readSeriesRule(const QString& text, SeriesOptions& series) {
    if (text == QLatin1String("all-letters")) {
        series.rule = SeriesRule::AllLetters;
        return true;
    }
    const QString prefix = QStringLiteral("first-chars:");
    if (!text.startsWith(prefix))
        return false;
    bool ok = false;
    const int n = text.mid(prefix.size()).toInt(&ok);
    if (!ok || n < 1 || n > 255)
        return false;
    series.rule = SeriesRule::FirstChars;
    series.firstChars = n;
    return true;
}

int run(const BatchInvocation& invocation) {
    QCommandLineParser parser;
    const QCommandLineOption recursive(
        QStringList{QStringLiteral("r"), QStringLiteral("recursive")});
    const QCommandLineOption perSheet(QStringLiteral("per-sheet"), QString(), QStringLiteral("C"));
    const QCommandLineOption perRow(QStringLiteral("per-row"), QString(), QStringLiteral("R"));
    const QCommandLineOption size(QStringLiteral("size"), QString(), QStringLiteral("S"));
    const QCommandLineOption stem(QStringLiteral("stem"), QString(), QStringLiteral("NAME"));
    const QCommandLineOption series(QStringLiteral("series"), QString(), QStringLiteral("RULE"));
    const QCommandLineOption prefix(QStringLiteral("prefix"), QString(), QStringLiteral("P"));
    const QCommandLineOption postfix(QStringLiteral("postfix"), QString(), QStringLiteral("Q"));
    const QCommandLineOption nullSeparated = NullSeparatedOption();
    const DestinationOptions destination;
    parser.addOptions(
        {nullSeparated, recursive, perSheet, perRow, size, stem, series, prefix, postfix});
    destination.addTo(parser);
    bool assumeYes = false;
    if (const std::optional<int> done = ParseJobArguments(parser, kIndexJob, invocation, assumeYes))
        return *done;

    IndexJobOptions options;
    options.recursive = parser.isSet(recursive);
    for (const auto& [option, minimum, maximum, value] :
         {std::tuple{&perSheet, 1, 32000, &options.layout.perSheet},
          std::tuple{&perRow, 1, 32000, &options.layout.perRow},
          std::tuple{&size, 40, 500, &options.layout.side}})
        if (const std::optional<int> fault =
                ReadNumberOption(parser, *option, minimum, maximum, kIndexJob, *value))
            return *fault;
    if (parser.isSet(stem) == parser.isSet(series))
        return UsageError(OwnText("cli.index.stem_or_series"), &kIndexJob);
    if (parser.isSet(stem)) {
        if (parser.isSet(prefix) || parser.isSet(postfix))
            return UsageError(OwnText("cli.index.prefix_needs_series"), &kIndexJob);
        options.stem = parser.value(stem);
    } else {
        options.bySeries = true;
        if (!readSeriesRule(parser.value(series), options.series))
            return UsageError(OwnText("cli.index.bad_series").arg(parser.value(series)),
                              &kIndexJob);
        options.prefix = parser.value(prefix);
        options.postfix = parser.value(postfix);
    }
    if (const std::optional<int> fault = destination.read(parser, kIndexJob, options.destination))
        return *fault;
    if (parser.positionalArguments().isEmpty())
        return UsageError(OwnText("cli.no_path"), &kIndexJob);
    IndexRunSetup setup;
    setup.recursive = options.recursive;
    setup.assumeYes = assumeYes;
    setup.nullSeparated = parser.isSet(nullSeparated);
    setup.writtenKey = "cli.index.written";
    if (const std::optional<int> fault = ResolvePathArguments(
            parser.positionalArguments(), options.recursive, kIndexJob, setup.targets))
        return *fault;
    return RunIndexJobOnConsole(setup, [&](ConsoleJobHost& host, const QStringList& startFolders,
                                           IndexJobReporter& reporter) {
        options.startFolders = startFolders;
        return MakeIndexPictures(host, options, &reporter);
    });
}

} // namespace

extern const BatchJob kIndexJob = {"index", "cli.index.summary", help, run};
