// kelvasto-batch similar: the similar-picture search of the window on files
// or trees named on the command line.

#include "cli/batch_job.h"
#include "cli/console_job_host.h"
#include "cli/jobs/folder_tree_argument.h"
#include "cli/standard_streams.h"
#include "i18n/own_texts.h"
#include "jobs/duplicates/duplicate_results.h"
#include "jobs/similar/find_similar.h"
#include "jobs/similar/fingerprint_cache.h"
#include "jobs/similar/similar_results.h"

#include <QCommandLineParser>

extern const BatchJob kSimilarJob;

namespace {

QString help() {
    return OwnText("cli.similar.help")
        .arg(ShownPath(FingerprintCache::defaultFile()))
        .arg(kDefaultSimilarityThreshold);
}

// Each group: its paths, the keeper first, then an empty line (with -0: each
// path ended by NUL, then an empty record).
void printGroups(const QList<SimilarGroup>& groups, bool nullSeparated) {
    for (const SimilarGroup& group : groups) {
        for (const SimilarPicture& picture : group) {
            if (nullSeparated)
                PrintPathRecord(picture.path, true);
            else
                PrintOut(ShownPath(picture.path) + QLatin1Char('\n'));
        }
        if (nullSeparated)
            PrintOutBytes(QByteArray(1, '\0'));
        else
            PrintOut(QStringLiteral("\n"));
    }
}

// Trashes every picture of a group but the first that is still the file
// the search read, naming each on stderr; returns how many stayed.
int trashMarked(const QList<SimilarGroup>& groups) {
    QList<SimilarPicture> marked;
    for (const SimilarGroup& group : groups)
        marked.append(group.mid(1));
    const QList<PictureNotTrashed> left = TrashUnchangedPictures(marked);
    QSet<QString> stayed;
    for (const PictureNotTrashed& picture : left) {
        stayed.insert(picture.path);
        PrintError(OwnText(picture.changed ? "cli.similar.changed" : "cli.similar.not_trashed")
                       .arg(ShownPath(picture.path)));
    }
    for (const SimilarPicture& picture : marked)
        if (!stayed.contains(picture.path))
            PrintError(OwnText("cli.similar.trashed").arg(ShownPath(picture.path)));
    return int(left.size());
}

std::optional<int> parseThreshold(const QCommandLineParser& parser,
                                  const QCommandLineOption& option, int& threshold) {
    if (!parser.isSet(option))
        return std::nullopt;
    bool ok = false;
    threshold = parser.value(option).toInt(&ok);
    if (!ok || threshold < kMinSimilarityThreshold || threshold > kMaxSimilarityThreshold)
        return UsageError(OwnText("cli.similar.bad_threshold")
                              .arg(kMinSimilarityThreshold)
                              .arg(kMaxSimilarityThreshold),
                          &kSimilarJob);
    return std::nullopt;
}

int run(const BatchInvocation& invocation) {
    QCommandLineParser parser;
    const QCommandLineOption recursive(
        QStringList{QStringLiteral("r"), QStringLiteral("recursive")});
    const QCommandLineOption threshold(QStringLiteral("threshold"), QString(), QStringLiteral("N"));
    const QCommandLineOption samePicture(QStringLiteral("same-picture"));
    const QCommandLineOption nullSeparated = NullSeparatedOption();
    const QCommandLineOption trashMarkedOption(QStringLiteral("trash-marked"));
    parser.addOptions({recursive, threshold, samePicture, nullSeparated, trashMarkedOption});
    bool assumeYes = false;
    if (const std::optional<int> done =
            ParseJobArguments(parser, kSimilarJob, invocation, assumeYes))
        return *done;

    SimilarSearchOptions options;
    if (const std::optional<int> fault = parseThreshold(parser, threshold, options.threshold))
        return *fault;
    options.samePicture = parser.isSet(samePicture);
    options.cacheFile = FingerprintCache::defaultFile();
    if (parser.positionalArguments().isEmpty())
        return UsageError(OwnText("cli.no_path"), &kSimilarJob);
    PathArguments targets;
    if (const std::optional<int> fault = ResolvePathArguments(
            parser.positionalArguments(), parser.isSet(recursive), kSimilarJob, targets))
        return *fault;
    if (parser.isSet(recursive))
        options.startFolders = targets.paths;
    else
        options.files = targets.paths;

    ConsoleJobHost host(LoadBatchSettings(), ConsoleOptionsFor(assumeYes));
    GiveTargets(host, targets, parser.isSet(recursive));
    SimilarSearchResult result;
    RunOnConsole(host, [&] { result = SearchSimilarPictures(host, options); });
    printGroups(result.groups, parser.isSet(nullSeparated));
    WriteStandardError((OwnText("cli.similar.counts")
                            .arg(result.checked)
                            .arg(result.fromCache)
                            .arg(result.groups.size()) +
                        QLatin1Char('\n'))
                           .toUtf8());
    const int skipped = ReportSkippedCount(targets, host);
    // A stopped search trashes nothing: a group may lack its real keeper.
    const bool act = parser.isSet(trashMarkedOption) && !result.stopped && !InterruptRequested();
    const int notTrashed = act ? trashMarked(result.groups) : 0;
    return FinalStatus(skipped + notTrashed);
}

} // namespace

extern const BatchJob kSimilarJob = {"similar", "cli.similar.summary", help, run};
