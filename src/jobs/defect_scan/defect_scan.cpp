#include "jobs/defect_scan/defect_scan.h"

#include "base/scope_exit.h"
#include "fs/file_collection.h"
#include "fs/file_ops.h"
#include "fs/folder_access.h"
#include "fs/path_utils.h"
#include "i18n/catalogue.h"
#include "i18n/own_texts.h"
#include "jobs/defect_scan/defect_test_ahead.h"
#include "jobs/defect_scan/move_log.h"
#include "jobs/defect_scan/thorough_check.h"
#include "jobs/framework/job_controls.h"
#include "jobs/framework/job_host.h"
#include "jobs/framework/job_run.h"
#include "settings/app_settings.h"

#include <QHash>
#include <QSet>

#include <memory>

namespace {

const DefectScanControls& kControls = kDefectScanControls;

constexpr int kNoFileMarked = 9000;
constexpr int kScanFinished = 9115;

// Returns how many entries the collection left out (each reported).
int collectWorkList(JobHost& host, const DefectScanOptions& options, QStringList& list) {
    if (!options.recursive)
        return CollectSelectedFiles(host, list);
    QStringList folders = options.startFolders;
    if (folders.isEmpty())
        folders.append(host.selectedFolder());
    int skipped = 0;
    for (const QString& folder : folders)
        if (!folder.isEmpty()) // no folder chosen is not the whole file system
            skipped += CollectJpegFilesRecursive(host, list, AddTrailingBackslash(folder));
    return skipped;
}

// Each file's verdict, in list order: the end-of-image test from its tester
// ahead, or the thorough check from its workers ahead.
class VerdictSource {
public:
    VerdictSource(const QStringList& files, const DefectScanOptions& options)
        : m_files(files), m_thorough(options.thorough) {
        if (m_thorough)
            m_checks = std::make_unique<ThoroughCheckAhead>(files, options.checkThreads);
        else
            m_tests = std::make_unique<DefectTestAhead>(files);
    }
    DefectVerdict take(int index) {
        return m_checks ? m_checks->take(index) : verdictOf(m_tests->take(index));
    }
    // The verdict on the file as it is now, read in turn.
    DefectVerdict again(const QString& path) const {
        if (m_thorough)
            return CheckJpegThoroughly(path);
        FolderCache folders;
        return verdictOf(TestDefectiveJpeg(path, folders));
    }

private:
    static DefectVerdict verdictOf(const DefectTestResult& test) {
        if (!test.readable)
            return {false, false, DefectCause::None, test.failure};
        return {true, test.defective, test.defective ? DefectCause::CutOff : DefectCause::None, {}};
    }

    const QStringList& m_files;
    const bool m_thorough;
    std::unique_ptr<DefectTestAhead> m_tests;
    std::unique_ptr<ThoroughCheckAhead> m_checks;
};

// An unreadable file is counted as tested and not defective, so one bad
// file does not end the run half-way; it is reported as skipped. A path this
// run has moved a file from or to since the tester read it is tested again,
// as a test in turn would have found it.
bool testFile(JobHost& host, VerdictSource& verdicts, int index, const QSet<QString>& touched,
              DefectScanReporter& reporter, const QString& path, DefectScanResult& result) {
    DefectVerdict verdict = verdicts.take(index);
    if (touched.contains(path))
        verdict = verdicts.again(path);
    if (!verdict.readable) {
        ++result.unreadable;
        host.reportSkipped(path, verdict.message);
        return false;
    }
    if (verdict.defective)
        reporter.noteDefectReason(path, DefectReasonText(verdict));
    return verdict.defective;
}

QString folderOf(const QString& path) {
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

class DefectMover {
public:
    DefectMover(JobHost& host, DefectScanReporter& reporter, const DefectScanOptions& options,
                DefectScanResult& result)
        : m_host(host), m_reporter(reporter), m_options(options), m_result(result) {
        const QString logPath = ProtocolFilePath(host.settings());
        // What killed runs left half-written in the folders this run writes to.
        RemoveLeftoverTemporaries(result.defectFolder);
        RemoveLeftoverTemporaries(folderOf(logPath));
        if (!options.move)
            return;
        // The last run's moves, read before this run empties the log.
        const QStringList previous = ReadMoveLog(logPath).lines;
        for (qsizetype i = 0; i + 1 < previous.size(); i += 2)
            m_previousMoves.insert(previous.at(i), previous.at(i + 1));
        m_journal = std::make_unique<MoveLogJournal>(logPath);
    }

    // Paths this run moved or copied a file from or to.
    const QSet<QString>& touched() const { return m_touched; }

    void handle(const QString& path, const QString& target) {
        if (m_options.move)
            move(path, target);
        else
            copy(path, target);
    }

private:
    void copy(const QString& path, const QString& target) {
        makeDefectFolder();
        report(path, target, CopyFileNoOverwrite(path, target));
    }

    // Once per run rather than once per file; again after a failure, in
    // case the folder was removed meanwhile.
    void makeDefectFolder() {
        if (!m_folderMade)
            m_folderMade = MakeFolderPath(m_result.defectFolder);
    }

    // Where the last run already placed this very file: a run killed after
    // copying it across file systems, before it removed the source, left the
    // whole picture there. Empty when it did not.
    QString placedByLastRun(const QString& path) const {
        const QString placed = m_previousMoves.value(path);
        return !placed.isEmpty() && SameFileContent(path, placed) ? placed : QString();
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
        // That move is finished by removing the source, and logged as this
        // run's, so that the picture stays once and the undo brings it back.
        const QString placed = placedByLastRun(path);
        const QString to = placed.isEmpty() ? target : placed;
        if (!m_journal->append(path, to)) {
            ++m_result.unlogged;
            m_reporter.noteDefectiveFile(path, to, false);
            return;
        }
        makeDefectFolder();
        const bool done = placed.isEmpty() ? MoveFileNoOverwrite(path, to) : RemoveFile(path);
        // Only moves made are logged: the undo of a pair whose move failed
        // would move a file this run never moved.
        if (done)
            m_host.lists().ProtokollListBox << path << to;
        else
            m_journal->dropLastPair();
        report(path, to, done);
    }

public:
    // Whether the undo may act on the log file: it must be this run's log.
    bool undoable() const { return m_options.move && m_journal->started(); }

private:
    void report(const QString& path, const QString& target, bool done) {
        if (done) {
            ++m_result.transferred;
            m_touched << path << target;
        } else {
            m_folderMade = false;
        }
        m_reporter.noteDefectiveFile(path, target, done);
    }

    JobHost& m_host;
    DefectScanReporter& m_reporter;
    const DefectScanOptions& m_options;
    DefectScanResult& m_result;
    std::unique_ptr<MoveLogJournal> m_journal;
    QHash<QString, QString> m_previousMoves; // former path -> new path
    QSet<QString> m_touched;
    bool m_folderMade = false;
};

void testFiles(DefectMover& mover, JobHost& host, DefectScanReporter& reporter,
               const DefectScanOptions& options, const QStringList& files,
               DefectScanResult& result) {
    const int width = int(QString::number(files.size()).size());
    FileLoop loop(host, &StopFlags::JpegJobStop, kControls.progress, files.size());
    VerdictSource verdicts(files, options);
    int shown = -1; // the count on the label
    for (int i = 0; i < files.size(); ++i) {
        if (!loop.next())
            break;
        const QString& path = files.at(i);
        if (testFile(host, verdicts, i, mover.touched(), reporter, path, result)) {
            ++result.defective;
            mover.handle(path, result.defectFolder + DefectFileName(result.defective, width, path));
        }
        loop.advance();
        if (result.defective != shown) { // the label after every file, set when it changes
            shown = result.defective;
            host.setText(kControls.defectsFound, QString::number(shown));
        }
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
        result.skipped = collectWorkList(host, options, lists.AlteDateinamen);
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
    // A stopped scan says so: "finished" would let the user take the files
    // left untested for sound ones.
    host.showMessage(result.stopped ? OwnText("scan.stopped") : CatalogueText(kScanFinished),
                     MessageKind::Information, ButtonBit(DialogButton::OK));
    return result;
}
