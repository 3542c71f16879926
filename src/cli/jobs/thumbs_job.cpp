// kelvasto-batch thumbs: a thumbnail of every file or tree named on the
// command line.

#include "cli/batch_job.h"
#include "cli/jobs/index_options.h"
#include "i18n/own_texts.h"

#include <QCommandLineParser>

extern const BatchJob kThumbsJob;

namespace {

QString help() {
    return OwnText("cli.thumbs.help");
}

int run(const BatchInvocation& invocation) {
    QCommandLineParser parser;
    const QCommandLineOption recursive(
        QStringList{QStringLiteral("r"), QStringLiteral("recursive")});
    const QCommandLineOption size(QStringLiteral("size"), QString(), QStringLiteral("S"));
    const QCommandLineOption prefix(QStringLiteral("prefix"), QString(), QStringLiteral("P"));
    const QCommandLineOption postfix(QStringLiteral("postfix"), QString(), QStringLiteral("Q"));
    const QCommandLineOption nullSeparated = NullSeparatedOption();
    const DestinationOptions destination;
    parser.addOptions({nullSeparated, recursive, size, prefix, postfix});
    destination.addTo(parser);
    bool assumeYes = false;
    if (const std::optional<int> done =
            ParseJobArguments(parser, kThumbsJob, invocation, assumeYes))
        return *done;

    ThumbnailJobOptions options;
    options.recursive = parser.isSet(recursive);
    if (const std::optional<int> fault =
            ReadNumberOption(parser, size, 10, 300, kThumbsJob, options.side))
        return *fault;
    // The window's default postfix, unless the user names the parts himself.
    if (parser.isSet(prefix) || parser.isSet(postfix)) {
        options.prefix = parser.value(prefix);
        options.postfix = parser.value(postfix);
    } else {
        options.postfix = QStringLiteral("_thumb");
    }
    if (options.prefix.isEmpty() && options.postfix.isEmpty())
        return UsageError(OwnText("cli.thumbs.no_prefix_postfix"), &kThumbsJob);
    if (const std::optional<int> fault = destination.read(parser, kThumbsJob, options.destination))
        return *fault;
    if (parser.positionalArguments().isEmpty())
        return UsageError(OwnText("cli.no_path"), &kThumbsJob);
    IndexRunSetup setup;
    setup.recursive = options.recursive;
    setup.assumeYes = assumeYes;
    setup.nullSeparated = parser.isSet(nullSeparated);
    setup.writtenKey = "cli.thumbs.written";
    if (const std::optional<int> fault = ResolvePathArguments(
            parser.positionalArguments(), options.recursive, kThumbsJob, setup.targets))
        return *fault;
    return RunIndexJobOnConsole(setup, [&](ConsoleJobHost& host, const QStringList& startFolders,
                                           IndexJobReporter& reporter) {
        options.startFolders = startFolders;
        return MakeThumbnails(host, options, &reporter);
    });
}

} // namespace

extern const BatchJob kThumbsJob = {"thumbs", "cli.thumbs.summary", help, run};
