#include "engine/defect_scan.h"

#include "app/app_settings.h"
#include "engine/file_collection.h"
#include "engine/file_ops.h"
#include "engine/job_controls.h"
#include "engine/job_host.h"
#include "engine/job_run.h"
#include "engine/move_log.h"
#include "engine/path_utils.h"
#include "engine/scope_exit.h"
#include "engine/thorough_check.h"
#include "i18n/catalogue.h"

#include <memory>

namespace {

const DefectScanControls& kControls = kDefectScanControls;

constexpr int kNoFileMarked = 9000;
constexpr int kScanFinished = 9115;

void collectWorkList(JobHost& host, const DefectScanOptions& options, QStringList& list) {
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

// Each file's verdict, in list order: the end-of-image test in turn, or the
// thorough check from its workers ahead.
class VerdictSource {
public:
    VerdictSource(const QStringList& files, const DefectScanOptions& options) : m_files(files) {
        if (options.thorough)
            m_ahead = std::make_unique<ThoroughCheckAhead>(files, options.checkThreads);
    }
    DefectVerdict take(int index) {
        return m_ahead ? m_ahead->take(index) : CheckJpegEndMarker(m_files.at(index));
    }

private:
    const QStringList& m_files;
    std::unique_ptr<ThoroughCheckAhead> m_ahead;
};

// An unreadable file is counted as tested and not defective, so one bad
// file does not end the run half-way.
bool testFile(VerdictSource& verdicts, int index, DefectScanReporter& reporter, const QString& path,
              DefectScanResult& result) {
    const DefectVerdict verdict = verdicts.take(index);
    if (!verdict.readable) {
        ++result.unreadable;
        return false;
    }
    if (verdict.defective)
        reporter.noteDefectReason(path, DefectReasonText(verdict));
    return verdict.defective;
}

class DefectMover {
public:
    DefectMover(JobHost& host, DefectScanReporter& reporter, const DefectScanOptions& options,
                DefectScanResult& result)
        : m_host(host), m_reporter(reporter), m_options(options), m_result(result) {
        if (options.move)
            m_journal = std::make_unique<MoveLogJournal>(ProtocolFilePath(host.settings()));
    }

    void handle(const QString& path, const QString& target) {
        if (m_options.move)
            move(path, target);
        else
            copy(path, target);
    }

private:
    void copy(const QString& path, const QString& target) {
        MakeFolderPath(m_result.defectFolder);
        report(path, target, CopyFileNoOverwrite(path, target));
    }

    void move(const QString& path, const QString& target) {
        // A line break would split the pair in the line-based log, and the
        // undo would then rename files this run never moved.
        if (!IsLoggablePath(path) || !IsLoggablePath(target)) {
            ++m_result.unsafeNames;
            m_reporter.noteDefectiveFile(path, target, false);
            return;
        }
        // Logged before the move: a kill in between leaves a pair whose undo
        // fails harmlessly, never a moved file the log does not know. A pair
        // the log file cannot take (read-only working folder, full disk)
        // means no move: it could not be undone.
        if (!m_journal->append(path, target)) {
            ++m_result.unlogged;
            m_reporter.noteDefectiveFile(path, target, false);
            return;
        }
        MakeFolderPath(m_result.defectFolder);
        m_host.lists().ProtokollListBox << path << target;
        report(path, target, MoveFileNoOverwrite(path, target));
    }

public:
    // Whether the undo may act on the log file: it must be this run's log.
    bool undoable() const { return m_options.move && m_journal->started(); }

private:
    void report(const QString& path, const QString& target, bool done) {
        if (done)
            ++m_result.transferred;
        m_reporter.noteDefectiveFile(path, target, done);
    }

    JobHost& m_host;
    DefectScanReporter& m_reporter;
    const DefectScanOptions& m_options;
    DefectScanResult& m_result;
    std::unique_ptr<MoveLogJournal> m_journal;
};

void testFiles(DefectMover& mover, JobHost& host, DefectScanReporter& reporter,
               const DefectScanOptions& options, const QStringList& files,
               DefectScanResult& result) {
    const int width = int(QString::number(files.size()).size());
    FileLoop loop(host, &StopFlags::JpegJobStop, kControls.progress, files.size());
    VerdictSource verdicts(files, options);
    for (int i = 0; i < files.size(); ++i) {
        if (!loop.next())
            break;
        const QString& path = files.at(i);
        if (testFile(verdicts, i, reporter, path, result)) {
            ++result.defective;
            mover.handle(path, result.defectFolder + DefectFileName(result.defective, width, path));
        }
        loop.advance();
        host.setText(kControls.defectsFound, QString::number(result.defective));
    }
    result.tested = loop.done();
    result.stopped = loop.stopped();
}

// The host reports for itself when it knows how; otherwise nobody listens.
DefectScanReporter& reporterFor(JobHost& host, DefectScanReporter* reporter) {
    static DefectScanReporter nobody;
    if (reporter)
        return *reporter;
    if (auto* self = dynamic_cast<DefectScanReporter*>(&host))
        return *self;
    return nobody;
}

} // namespace

QString DefectFolderFor(const AppSettings& settings, const QString& destination) {
    const QString base = destination.isEmpty() ? settings.Arbeitsverzeichnis : destination;
    return AddTrailingBackslash(base) + QStringLiteral("Defekt/");
}

QString DefectFileName(int number, int width, const QString& formerPath) {
    const QString name = formerPath.mid(formerPath.lastIndexOf(QLatin1Char('/')) + 1);
    return QStringLiteral("Defekt") +
           QStringLiteral("%1").arg(number, width, 10, QLatin1Char('0')) + QLatin1Char('_') + name;
}

DefectScanResult ScanDefectiveJpegs(JobHost& host, const DefectScanOptions& options,
                                    DefectScanReporter* reporter) {
    DefectScanReporter& report = reporterFor(host, reporter);
    DefectScanResult result;
    {
        JobRun run(host, JobKind::DefectScan, kControls.progress, {kControls.defectsFound});
        result.defectFolder = DefectFolderFor(host.settings(), options.destination);
        BatchLists& lists = host.lists();
        lists.AlteDateinamen.clear();
        lists.NeueDateinamen.clear();
        lists.ProtokollListBox.clear();

        run.startWatcher(WatcherKind::DefekteJPEGs);
        collectWorkList(host, options, lists.AlteDateinamen);
        run.stopWatcher();
        const QStringList files = lists.AlteDateinamen;
        result.collected = int(files.size());
        if (files.isEmpty()) {
            result.nothingToTest = true;
            host.showMessage(CatalogueText(kNoFileMarked), MessageKind::Information,
                             ButtonBit(DialogButton::OK));
            return result;
        }

        // From here on every way out leaves a log of exactly this run's moves,
        // so the undo never works on an older run.
        DefectMover mover(host, report, options, result);
        ScopeExit finishLog([&] {
            result.logWritten =
                WriteMoveLog(ProtocolFilePath(host.settings()), lists.ProtokollListBox);
            // A log that could not be replaced may still be an older run's:
            // offering its undo would move back files of that run.
            report.prepareMoveUndo(mover.undoable());
        });
        testFiles(mover, host, report, options, files, result);
        finishLog.runNow();

        host.refreshFileList();
        run.end();
    }
    host.showMessage(CatalogueText(kScanFinished), MessageKind::Information,
                     ButtonBit(DialogButton::OK));
    return result;
}
