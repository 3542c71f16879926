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
#include "jobs/framework/job_reporter.h"
#include "jobs/framework/job_run.h"
#include "jobs/framework/ordered_work_ahead.h"

#include <QFile>
#include <QSet>

#include <algorithm>
#include <chrono>
#include <exception>
#include <memory>
#include <optional>
#include <vector>

namespace {

const ReductionControls& kControls = kReductionControls;

constexpr CatalogueId kWarningLines[] = {
    CatalogueId::ReductionWarningLine1, CatalogueId::ReductionWarningLine2,
    CatalogueId::ReductionWarningLine3, CatalogueId::ReductionWarningLine4,
    CatalogueId::ReductionWarningLine5};

void inform(JobHost& host, CatalogueId id) {
    host.showMessage(CatalogueText(id), MessageKind::Information, ButtonBit(DialogButton::OK));
}

// The warning before every run, each entry on its own line.
bool warningAccepted(JobHost& host) {
    QStringList lines;
    for (const CatalogueId line : kWarningLines)
        lines << CatalogueText(line);
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

// Why a file was left as it stands, in the current language.
QString skipReason(ReductionSkip why) {
    switch (why) {
    case ReductionSkip::NotJpeg:
        return OwnText("reduce.skip.notJpeg");
    case ReductionSkip::Busy:
        return OwnText("reduce.skip.busy");
    case ReductionSkip::Changed:
        return OwnText("reduce.skip.changed");
    case ReductionSkip::CopyNameTaken: // named with its source (Reducer::reduceEarlierCopy)
    case ReductionSkip::None:
        break;
    }
    return QString();
}

// A file another run is rewriting is waited for this long, in turn: that run
// holds it for the few milliseconds of its rewrite, and afterwards the file
// is reduced as that run left it. Longer means a lock held for good (another
// program, or two runs each holding a file the other waits for): the file
// is skipped and named rather than the run hanging.
constexpr std::chrono::milliseconds kBusyWait(2000);

// Reduces file after file: each reduced file is put in place as soon as the
// job takes it, so no more than the few files read ahead are ever held, and
// a file counts as reduced (and is reported) once it is in place.
class Reducer {
public:
    Reducer(JobHost& host, ReductionReporter& report, const ReductionOptions& remove,
            ReduceJpegsResult& result)
        : m_host(host), m_report(report), m_remove(remove), m_result(result) {}

    const ReductionOptions& remove() const { return m_remove; }
    StagedRewrites& rewrites() { return m_staged; }

    // Reads, writes and puts in place the file in turn; false when an error
    // ends the job at it.
    bool reduce(const QString& path) {
        return finish(path, PrepareJpegReduction({path, m_remove, kBusyWait, {}}, m_staged));
    }

    // Copy mode, the copy's name taken already: the file there is reduced
    // again only if it holds the picture of `source`; otherwise `source` is
    // named as the file left out.
    bool reduceEarlierCopy(const QString& copy, const QString& source) {
        PreparedReduction prepared = PrepareJpegReduction(
            {copy, m_remove, kBusyWait, PictureDigestOfFile(source)}, m_staged);
        if (prepared.result.skipped != ReductionSkip::CopyNameTaken)
            return finish(copy, std::move(prepared));
        ++m_result.skipped;
        m_host.reportSkipped(source, OwnText("reduce.skip.copyNameTaken").arg(copy));
        return true;
    }

    // Takes what was prepared ahead for `path`. A file found busy ahead may
    // be held by this very run (a second name of the same file): it is tried
    // again in turn.
    bool adopt(const QString& path, PreparedReduction prepared) {
        if (prepared.result.skipped == ReductionSkip::Busy)
            return reduce(path);
        return finish(path, std::move(prepared));
    }

private:
    bool finish(const QString& path, PreparedReduction prepared) {
        try {
            if (prepared.error)
                std::rethrow_exception(prepared.error);
        } catch (const KelvastoError& error) {
            fail(path, FailureText(error));
            return false;
        }
        if (prepared.result.skipped != ReductionSkip::None) {
            skip(path, prepared.result.skipped);
            return true;
        }
        if (!prepared.staged)
            return true; // nothing to cut
        m_staged.add(std::move(prepared.staged));
        for (const CommittedFile& done : m_staged.commit()) {
            switch (done.outcome) {
            case RewriteOutcome::Replaced:
                ++m_result.changed;
                m_result.savingsTotal += prepared.result.saved;
                m_report.noteReducedFile(done.path, prepared.result.saved);
                break;
            case RewriteOutcome::Changed:
                skip(done.path, ReductionSkip::Changed);
                break;
            case RewriteOutcome::Failed:
                fail(done.path, OwnText("reduce.fail.replace"));
                return false;
            }
        }
        return true;
    }

    void skip(const QString& path, ReductionSkip why) {
        ++m_result.skipped;
        m_host.reportSkipped(path, skipReason(why));
    }

    void fail(const QString& path, const QString& error) {
        if (!m_result.failedFile.isEmpty())
            return;
        m_result.failedFile = path;
        m_result.error = error;
    }

    JobHost& m_host;
    ReductionReporter& m_report;
    const ReductionOptions& m_remove;
    ReduceJpegsResult& m_result;
    StagedRewrites m_staged;
};

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

// The files read and written ahead on one worker per core, a few files ahead
// of the job: each holds its original locked and a temporary file beside it,
// which a killed run leaves behind for the next run in that folder to sweep.
// Copies are made in the loop, so only originals are read ahead; paths
// listed again are left to the job.
using ReductionAhead = OrderedWorkAhead<PreparedReduction>;
std::unique_ptr<ReductionAhead>
reductionAhead(const QStringList& files, const std::vector<bool>& leftToJob, Reducer& reducer) {
    constexpr int kMostWorkers = 4;
    const int workers = std::min(WorkerThreadCount(0), kMostWorkers);
    return std::make_unique<ReductionAhead>(
        int(files.size()), 2 * workers, workers,
        [&files, &leftToJob, &reducer](int index) {
            return leftToJob[std::size_t(index)]
                       ? PreparedReduction()
                       : PrepareJpegReduction({files.at(index), reducer.remove(), {}, {}},
                                              reducer.rewrites());
        },
        // The job ends at a file that fails.
        [](const PreparedReduction& prepared) { return bool(prepared.error); });
}

// Returns false when an error ended the loop.
bool reduceFiles(JobHost& host, ReductionReporter& report, const ReduceJpegsOptions& options,
                 const QStringList& files, ReduceJpegsResult& result, QStringList& keptOriginals) {
    const QString copyFolder = AddTrailingBackslash(options.destination);
    Reducer reducer(host, report, options.remove, result);
    const std::vector<bool> leftToJob = repeatedPaths(files);
    std::unique_ptr<ReductionAhead> ahead;
    if (!options.copies)
        ahead = reductionAhead(files, leftToJob, reducer);
    FileLoop loop(host, &StopFlags::JpegJobStop, kControls.progress, files.size());
    bool ok = true;
    for (int i = 0; i < files.size(); ++i) {
        const QString& file = files.at(i);
        if (options.copies) {
            const QString copy = copyFolder + fileName(file);
            if (CopyFileNoOverwrite(file, copy)) {
                ok = reducer.reduce(copy);
            } else if (IsSameFile(file, copy)) {
                // The user asked for copies to keep the originals: a "copy"
                // that is the original itself (the destination is its
                // folder) is left.
                ++result.originalsKept;
                keptOriginals.append(file);
            } else {
                ok = reducer.reduceEarlierCopy(copy, file);
            }
        } else if (ahead && !leftToJob[std::size_t(i)]) {
            ok = reducer.adopt(file, ahead->take(i));
        } else {
            if (ahead)
                ahead->pass(i);
            ok = reducer.reduce(file);
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
    ahead.reset(); // what it wrote beyond the end is removed, its files let go
    return ok;
}

} // namespace

ReduceJpegsResult ReduceJpegs(JobHost& host, const ReduceJpegsOptions& options,
                              ReductionReporter* reporter) {
    ReductionReporter& report = ReporterOrSilent(reporter);
    ReduceJpegsResult result;
    if (!options.remove.any()) {
        result.nothingChosen = true;
        inform(host, CatalogueId::NothingToRemoveChosen);
        return result;
    }
    if (options.copies && options.destination.isEmpty()) {
        result.noDestination = true;
        inform(host, CatalogueId::NoDestination);
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
        inform(host, result.stopped ? CatalogueId::ReductionAborted : CatalogueId::ReductionReady);
    run.end();
    return result;
}
