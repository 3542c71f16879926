// kelvasto-batch index: index pictures (contact sheets) of the files or trees
// named on the command line, under one stem name or series by series.

#include "cli/batch_job.h"
#include "cli/jobs/index_options.h"
#include "i18n/own_texts.h"

#include <QCommandLineParser>

extern const BatchJob kIndexJob;

namespace {

QString help() {
    return WithNumberOptions(OwnText("cli.index.help"),
                             {&kIndexPerSheet, &kIndexPerRow, &kIndexSide, &kSeriesFirstChars});
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
    if (!ok || !kSeriesFirstChars.allows(n))
        return false;
    series.rule = SeriesRule::FirstChars;
    series.firstChars = n;
    return true;
}

int run(const BatchInvocation& invocation) {
    const QCommandLineOption stem(QStringLiteral("stem"), QString(), QStringLiteral("NAME"));
    const QCommandLineOption series(QStringLiteral("series"), QString(), QStringLiteral("RULE"));
    const QCommandLineOption prefix(QStringLiteral("prefix"), QString(), QStringLiteral("P"));
    const QCommandLineOption postfix(QStringLiteral("postfix"), QString(), QStringLiteral("Q"));
    const QCommandLineOption nullSeparated = NullSeparatedOption();
    const DestinationOptions destination;
    IndexJobOptions options;
    PathJobParts parts;
    parts.options = QList{nullSeparated, stem, series, prefix, postfix} + destination.all();
    for (const NumberOption* number : {&kIndexPerSheet, &kIndexPerRow, &kIndexSide})
        parts.options.append(NumberCommandLineOption(*number));
    parts.readOptions = [&](const QCommandLineParser& parser, QStringList&) -> std::optional<int> {
        for (const auto& [number, value] : {std::pair{&kIndexPerSheet, &options.layout.perSheet},
                                            std::pair{&kIndexPerRow, &options.layout.perRow},
                                            std::pair{&kIndexSide, &options.layout.side}})
            if (const std::optional<int> fault =
                    ReadNumberOption(parser, *number, kIndexJob, *value))
                return fault;
        if (parser.isSet(stem) == parser.isSet(series))
            return UsageError(OwnText("cli.index.stem_or_series"), &kIndexJob);
        if (parser.isSet(stem)) {
            if (parser.isSet(prefix) || parser.isSet(postfix))
                return UsageError(OwnText("cli.index.prefix_needs_series"), &kIndexJob);
            options.stem = parser.value(stem);
        } else {
            options.bySeries = true;
            if (!readSeriesRule(parser.value(series), options.series))
                return UsageError(
                    WithNumberOptions(OwnText("cli.index.bad_series"), {&kSeriesFirstChars})
                        .arg(parser.value(series)),
                    &kIndexJob);
            options.prefix = parser.value(prefix);
            options.postfix = parser.value(postfix);
        }
        return destination.read(parser, kIndexJob, options.destination);
    };
    SetIndexJobRun(parts, nullSeparated, "cli.index.written",
                   [&](ConsoleJobHost& host, const PathJobRun& run, IndexJobReporter& reporter) {
                       options.recursive = run.recursive;
                       options.startFolders = IndexStartFolders(run);
                       return MakeIndexPictures(host, options, &reporter);
                   });
    return RunPathJob(kIndexJob, invocation, parts);
}

} // namespace

extern const BatchJob kIndexJob = {"index", "cli.index.summary", help, run};
