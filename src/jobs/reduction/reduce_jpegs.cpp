#include "jobs/reduction/reduce_jpegs.h"

#include "base/errors.h"
#include "fs/file_collection.h"
#include "fs/file_ops.h"
#include "fs/file_rewrite.h"
#include "fs/path_utils.h"
#include "i18n/catalogue.h"
#include "i18n/failure_texts.h"
#include "i18n/own_texts.h"
#include "jobs/framework/job_controls.h"
#include "jobs/framework/job_host.h"
#include "jobs/framework/job_run.h"
#include "jobs/framework/ordered_work_ahead.h"

#include <QFile>
#include <QSet>

#include <algorithm>
#include <exception>
#include <memory>
#include <vector>

namespace {

const ReductionControls& kControls = kReductionControls;

constexpr int kNothingChosen = 9107;
constexpr int kNoDestination = 9003;
constexpr int kWarningFirst = 9108;
constexpr int kWarningLast = 9112;
constexpr int kStopped = 9113;
constexpr int kFinished = 9114;

void inform(JobHost& host, int id) {
    host.showMessage(CatalogueText(id), MessageKind::Information, ButtonBit(DialogButton::OK));
}

// The warning before every run, each entry on its own line.
bool warningAccepted(JobHost& host) {
    QStringList lines;
    for (int id = kWarningFirst; id <= kWarningLast; ++id)
        lines << CatalogueText(id);
    return host.showMessage(lines.join(QLatin1Char('\n')), MessageKind::Warning,
                            ButtonBit(DialogButton::OK) | ButtonBit(DialogButton::Abort)) ==
           DialogResult::OK;
}

void collectWorkList(JobHost& host, const ReduceJpegsOptions& options, QStringList& list) {
    if (!options.recursive) {
        CollectSelectedFiles(host, list);
        return;
    }
    QStringList folders = options.startFolders;
    if (folders.isEmpty())
        folders.append(host.selectedFolder());
    for (const QString& folder : folders)
        if (!folder.isEmpty()) // no folder chosen is not the whole file system
            CollectJpegFilesRecursive(host, list, AddTrailingBackslash(folder));
}

QString fileName(const QString& path) {
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

// Reduces file after file; the reduced files are staged and put in place in
// batches, and a file counts as reduced (and is reported) once it is.
class Reducer {
public:
    Reducer(ReductionReporter& report, const ReductionOptions& remove, ReduceJpegsResult& result)
        : m_report(report), m_remove(remove), m_result(result) {}

    // False when an error ends the job at this file.
    bool reduce(const QString& path) {
        // Listed twice (or two sources, one copy name): the second pass works
        // on the file as the first left it.
        if (m_staged.contains(path) && !commit())
            return false;
        return adopt(path, PrepareJpegReduction(path, m_remove, m_staged));
    }

    // Takes the file prepared (read, and written beside the old one) for
    // `path` into the batch; false when its error ends the job.
    bool adopt(const QString& path, PreparedReduction prepared) {
        try {
            if (prepared.error)
                std::rethrow_exception(prepared.error);
        } catch (const KelvastoError& error) {
            fail(path, FailureText(error));
            return false;
        }
        if (prepared.staged) {
            m_staged.add(std::move(prepared.staged));
            m_pending.push_back({path, prepared.result.saved});
        }
        m_result.savingsTotal += prepared.result.saved;
        constexpr std::size_t kBatchFiles = 64;
        constexpr std::int64_t kBatchBytes = 64 * 1024 * 1024;
        return (m_staged.size() < kBatchFiles && m_staged.bytes() < kBatchBytes) || commit();
    }

    StagedRewrites& rewrites() { return m_staged; }

    // Puts the staged files in place; false when one could not be replaced.
    bool commit() {
        const QStringList failed = m_staged.commit();
        for (const Pending& pending : m_pending) {
            if (failed.contains(pending.path)) {
                m_result.savingsTotal -= pending.saved; // that file kept its bytes
                continue;
            }
            ++m_result.changed;
            m_report.noteReducedFile(pending.path, pending.saved);
        }
        m_pending.clear();
        if (failed.isEmpty())
            return true;
        fail(failed.first(), OwnText("reduce.fail.replace"));
        return false;
    }

private:
    void fail(const QString& path, const QString& error) {
        if (!m_result.failedFile.isEmpty())
            return;
        m_result.failedFile = path;
        m_result.error = error;
    }

    struct Pending {
        QString path;
        std::int64_t saved;
    };
    ReductionReporter& m_report;
    const ReductionOptions& m_remove;
    ReduceJpegsResult& m_result;
    StagedRewrites m_staged;
    std::vector<Pending> m_pending;
};

// The host reports for itself when it knows how; otherwise nobody listens.
ReductionReporter& reporterFor(JobHost& host, ReductionReporter* reporter) {
    static ReductionReporter nobody;
    if (reporter)
        return *reporter;
    if (auto* self = dynamic_cast<ReductionReporter*>(&host))
        return *self;
    return nobody;
}

// Which entries of the list name a path listed before: the job reduces
// those in turn, after the earlier pass is in place.
std::vector<bool> repeatedPaths(const QStringList& files) {
    std::vector<bool> repeated(std::size_t(files.size()));
    QSet<QString> seen;
    for (qsizetype i = 0; i < files.size(); ++i) {
        repeated[std::size_t(i)] = seen.contains(files[i]);
        seen.insert(files[i]);
    }
    return repeated;
}

// The files read and written ahead on one worker per core, a few at a time
// (each holds an open temporary file). Copies are made in the loop, so only
// originals are read ahead; paths listed again are left to the job.
using ReductionAhead = OrderedWorkAhead<PreparedReduction>;
std::unique_ptr<ReductionAhead> reductionAhead(const QStringList& files,
                                               const std::vector<bool>& leftToJob,
                                               const ReductionOptions& remove,
                                               StagedRewrites& rewrites) {
    constexpr int kAhead = 64;
    constexpr int kMostWorkers = 4;
    const int workers = std::min(WorkerThreadCount(0), kMostWorkers);
    return std::make_unique<ReductionAhead>(
        int(files.size()), kAhead, workers,
        [&files, &leftToJob, remove, &rewrites](int index) {
            return leftToJob[std::size_t(index)]
                       ? PreparedReduction()
                       : PrepareJpegReduction(files.at(index), remove, rewrites);
        },
        // The job ends at a file that fails.
        [](const PreparedReduction& prepared) { return bool(prepared.error); });
}

// Returns false when an error ended the loop.
bool reduceFiles(JobHost& host, ReductionReporter& report, const ReduceJpegsOptions& options,
                 const QStringList& files, ReduceJpegsResult& result, QStringList& keptOriginals) {
    const QString copyFolder = AddTrailingBackslash(options.destination);
    Reducer reducer(report, options.remove, result);
    const std::vector<bool> leftToJob = repeatedPaths(files);
    std::unique_ptr<ReductionAhead> ahead;
    if (!options.copies)
        ahead = reductionAhead(files, leftToJob, options.remove, reducer.rewrites());
    FileLoop loop(host, &StopFlags::JpegJobStop, kControls.progress, files.size());
    bool ok = true;
    for (int i = 0; i < files.size(); ++i) {
        const QString& file = files.at(i);
        QString target = file;
        bool work = true;
        if (options.copies) {
            target = copyFolder + fileName(file);
            // An existing copy is not replaced: it is reduced again. But the
            // user asked for copies to keep the originals: a "copy" that is
            // the original itself (the destination is its folder) is left.
            CopyFileNoOverwrite(file, target);
            work = !IsSameFile(file, target);
            if (!work) {
                ++result.originalsKept;
                keptOriginals.append(file);
            }
        }
        if (ahead && !leftToJob[std::size_t(i)]) {
            ok = reducer.adopt(target, ahead->take(i));
        } else {
            if (ahead)
                ahead->pass(i);
            ok = !work || reducer.reduce(target);
        }
        host.setText(kControls.savings, QString::number(result.savingsTotal));
        if (!ok)
            break;
        loop.advance();
        // The stop is read after the file in hand, so no file is left half done.
        if (!loop.next())
            break;
    }
    result.reduced = loop.done();
    result.stopped = loop.stopped();
    ahead.reset(); // what it wrote beyond the end is removed
    // Whatever ended the loop, the files reduced so far stay reduced.
    ok = reducer.commit() && ok;
    host.setText(kControls.savings, QString::number(result.savingsTotal));
    return ok;
}

} // namespace

ReduceJpegsResult ReduceJpegs(JobHost& host, const ReduceJpegsOptions& options,
                              ReductionReporter* reporter) {
    ReductionReporter& report = reporterFor(host, reporter);
    ReduceJpegsResult result;
    if (!options.remove.any()) {
        result.nothingChosen = true;
        inform(host, kNothingChosen);
        return result;
    }
    if (options.copies && options.destination.isEmpty()) {
        result.noDestination = true;
        inform(host, kNoDestination);
        return result;
    }

    JobRun run(host, JobKind::Reduction, kControls.progress, {kControls.savings});
    BatchLists& lists = host.lists();
    lists.AlteDateinamen.clear();
    lists.NeueDateinamen.clear();
    run.startWatcher(WatcherKind::JPEGVerkleinern);
    collectWorkList(host, options, lists.AlteDateinamen);
    run.stopWatcher();
    const QStringList files = lists.AlteDateinamen;
    result.collected = int(files.size());
    host.setText(kControls.progress.total, QString::number(result.collected));

    // The warning comes at every run, even with nothing collected, without
    // the hourglass over it.
    host.setBusyCursor(false);
    const bool accepted = warningAccepted(host);
    host.setBusyCursor(true);
    if (!accepted) {
        result.declined = true;
        return result;
    }
    QStringList keptOriginals;
    const bool ended = !reduceFiles(host, report, options, files, result, keptOriginals);
    // Copies into the files' own folder would be the originals: the run
    // reduced nothing, and "ready" would say otherwise.
    result.reducedNothing = !ended && !result.stopped && result.originalsKept > 0 &&
                            result.originalsKept == result.reduced;
    if (!result.reducedNothing)
        for (const QString& kept : keptOriginals)
            host.reportSkipped(kept, OwnText("reduce.skip.original_kept"));
    if (ended)
        return result; // ended by an error: no closing message
    if (result.reducedNothing)
        host.showMessage(OwnText("reduce.copies_in_own_folder"), MessageKind::Warning,
                         ButtonBit(DialogButton::OK));
    else
        inform(host, result.stopped ? kStopped : kFinished);
    run.end();
    return result;
}
