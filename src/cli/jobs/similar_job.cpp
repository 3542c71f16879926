// kelvasto-batch similar: the similar-picture search of the window on files
// or trees named on the command line.

#include "cli/batch_job.h"
#include "cli/console_job_host.h"
#include "cli/jobs/folder_tree_argument.h"
#include "cli/number_options.h"
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
    return WithNumberOptions(OwnText("cli.similar.help"), {&kSimilarityThreshold})
        .arg(ShownPath(FingerprintCache::defaultFile()));
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

int run(const BatchInvocation& invocation) {
    const QCommandLineOption samePicture(QStringLiteral("same-picture"));
    const QCommandLineOption nullSeparated = NullSeparatedOption();
    const QCommandLineOption trashMarkedOption(QStringLiteral("trash-marked"));
    SimilarSearchOptions options;
    SimilarSearchResult result;
    PathJobParts parts;
    parts.options = {NumberCommandLineOption(kSimilarityThreshold), samePicture, nullSeparated,
                     trashMarkedOption};
    parts.readOptions = [&](const QCommandLineParser& parser, QStringList&) -> std::optional<int> {
        options.samePicture = parser.isSet(samePicture);
        options.cacheFile = FingerprintCache::defaultFile();
        return ReadNumberOption(parser, kSimilarityThreshold, kSimilarJob, options.threshold);
    };
    parts.engine = [&](ConsoleJobHost& host, const PathJobRun& run) {
        if (run.recursive)
            options.startFolders = run.targets.paths;
        else
            options.files = run.targets.paths;
        result = SearchSimilarPictures(host, options);
    };
    parts.finish = [&](ConsoleJobHost& host, const PathJobRun& run) {
        printGroups(result.groups, run.isSet(nullSeparated));
        WriteStandardError((OwnText("cli.similar.counts")
                                .arg(result.checked)
                                .arg(result.fromCache)
                                .arg(result.groups.size()) +
                            QLatin1Char('\n'))
                               .toUtf8());
        const int skipped = ReportSkippedCount(run.targets, host);
        // A stopped search trashes nothing: a group may lack its real keeper.
        const bool act = run.isSet(trashMarkedOption) && !result.stopped && !InterruptRequested();
        const int notTrashed = act ? trashMarked(result.groups) : 0;
        return FinalStatus(skipped + notTrashed);
    };
    return RunPathJob(kSimilarJob, invocation, parts);
}

} // namespace

extern const BatchJob kSimilarJob = {"similar", "cli.similar.summary", help, run};
