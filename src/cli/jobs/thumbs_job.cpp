// kelvasto-batch thumbs: a thumbnail of every file or tree named on the
// command line.

#include "cli/batch_job.h"
#include "cli/jobs/index_options.h"
#include "i18n/own_texts.h"

#include <QCommandLineParser>

extern const BatchJob kThumbsJob;

namespace {

QString help() {
    return WithNumberOptions(OwnText("cli.thumbs.help"), {&kThumbnailSide});
}

int run(const BatchInvocation& invocation) {
    const QCommandLineOption prefix(QStringLiteral("prefix"), QString(), QStringLiteral("P"));
    const QCommandLineOption postfix(QStringLiteral("postfix"), QString(), QStringLiteral("Q"));
    const QCommandLineOption nullSeparated = NullSeparatedOption();
    const DestinationOptions destination;
    ThumbnailJobOptions options;
    PathJobParts parts;
    parts.options = QList{nullSeparated, NumberCommandLineOption(kThumbnailSide), prefix, postfix} +
                    destination.all();
    parts.readOptions = [&](const QCommandLineParser& parser, QStringList&) -> std::optional<int> {
        if (const std::optional<int> fault =
                ReadNumberOption(parser, kThumbnailSide, kThumbsJob, options.side))
            return fault;
        // The window's default postfix, unless the user names the parts himself.
        if (parser.isSet(prefix) || parser.isSet(postfix)) {
            options.prefix = parser.value(prefix);
            options.postfix = parser.value(postfix);
        } else {
            options.postfix = QStringLiteral("_thumb");
        }
        if (options.prefix.isEmpty() && options.postfix.isEmpty())
            return UsageError(OwnText("cli.thumbs.no_prefix_postfix"), &kThumbsJob);
        return destination.read(parser, kThumbsJob, options.destination);
    };
    SetIndexJobRun(parts, nullSeparated, "cli.thumbs.written",
                   [&](ConsoleJobHost& host, const PathJobRun& run, IndexJobReporter& reporter) {
                       options.recursive = run.recursive;
                       options.startFolders = IndexStartFolders(run);
                       return MakeThumbnails(host, options, &reporter);
                   });
    return RunPathJob(kThumbsJob, invocation, parts);
}

} // namespace

extern const BatchJob kThumbsJob = {"thumbs", "cli.thumbs.summary", help, run};
