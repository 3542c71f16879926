#include "jobs/defect_scan/defect_scan.h"

#include "base/scope_exit.h"
#include "fs/file_collection.h"
#include "fs/file_ops.h"
#include "fs/folder_access.h"
#include "fs/path_utils.h"
#include "i18n/catalogue.h"
#include "i18n/own_texts.h"
#include "jobs/defect_scan/defect_mover.h"
#include "jobs/defect_scan/defect_test_ahead.h"
#include "jobs/defect_scan/move_log.h"
#include "jobs/defect_scan/mover_lock.h"
#include "jobs/defect_scan/thorough_check.h"
#include "jobs/framework/job_controls.h"
#include "jobs/framework/job_host.h"
#include "jobs/framework/job_reporter.h"
#include "jobs/framework/job_run.h"
#include "settings/app_settings.h"

#include <QHash>
#include <QSet>

#include <memory>

namespace {

const DefectScanControls& kControls = kDefectScanControls;

QStringList startFoldersOf(JobHost& host, const DefectScanOptions& options) {
    QStringList folders;
    for (const QString& folder :
         options.startFolders.isEmpty() ? QStringList{host.selectedFolder()} : options.startFolders)
        if (!folder.isEmpty()) // no folder chosen is not the whole file system
            folders.append(AddTrailingBackslash(folder));
    return folders;
}

// The folders a kept run names: the start folders of a tree walk, else the
// folders of the selected files (a few; they only inform).
QStringList recordedFolders(JobHost& host, const DefectScanOptions& options,
                            const QStringList& files) {
    if (options.recursive)
        return startFoldersOf(host, options);
    constexpr qsizetype kFew = 20;
    QStringList folders;
    for (const QString& file : files) {
        const QString folder = FolderOf(file);
        if (folders.isEmpty() || (folders.last() != folder && !folders.contains(folder)))
            folders.append(folder);
        if (folders.size() == kFew)
            break;
    }
    return folders;
}

// Returns how many entries the collection left out (each reported).
int collectWorkList(JobHost& host, const DefectScanOptions& options, QStringList& list) {
    if (!options.recursive)
        return CollectSelectedFiles(host, list);
    int skipped = 0;
    for (const QString& folder : startFoldersOf(host, options))
        skipped += CollectJpegFilesRecursive(host, list, folder);
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
            mover.handle(path, width);
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

} // namespace

QString DefectFolderFor(const AppSettings& settings, const QString& destination) {
    const QString base = destination.isEmpty() ? settings.Arbeitsverzeichnis : destination;
    return AddTrailingBackslash(base) + QStringLiteral("Defekt/");
}

QString DefectFileName(qint64 number, int width, const QString& formerPath) {
    const QString name = FileNameOf(formerPath);
    return QStringLiteral("Defekt") +
           QStringLiteral("%1").arg(number, width, 10, QLatin1Char('0')) + QLatin1Char('_') + name;
}

void DefectScanReporter::showClosingMessage(JobHost& host, const DefectScanResult& result) {
    // A stopped scan says so: "finished" would let the user take the files
    // left untested for sound ones.
    QString text =
        result.stopped ? OwnText("scan.stopped") : CatalogueText(CatalogueId::ScanFinished);
    const int left = result.leftInPlace();
    if (left > 0)
        text += QStringLiteral("\n\n") + OwnText("defects.left_in_place").arg(left);
    host.showMessage(text, left > 0 ? MessageKind::Warning : MessageKind::Information,
                     ButtonBit(DialogButton::OK));
}

DefectScanResult ScanDefectiveJpegs(JobHost& host, const DefectScanOptions& options,
                                    DefectScanReporter* reporter) {
    DefectScanReporter& report = ReporterOrSilent(reporter);
    DefectScanResult result;
    result.defectFolder = DefectFolderFor(host.settings(), options.destination);
    // One mover per working folder, for the whole run: two would race over
    // the log and the defect folder's numbers.
    MoverLock lock;
    if (options.move) {
        lock = MoverLock::acquire(host.settings());
        if (lock.refused()) {
            ShowMoverRefusal(host, lock);
            result.busy = true;
            return result;
        }
    }
    {
        JobRun run(host, JobKind::DefectScan, kControls.progress, {kControls.defectsFound});
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
            host.showMessage(CatalogueText(CatalogueId::NoFileMarked), MessageKind::Information,
                             ButtonBit(DialogButton::OK));
            return result;
        }

        // From here on every way out leaves a log of exactly this run's moves,
        // so the undo never works on an older run.
        DefectMover mover(host, report, options, recordedFolders(host, options, files), result);
        ScopeExit finishLog([&] {
            result.logWritten = mover.finishLog();
            // A log that could not be replaced may still be an older run's:
            // offering its undo would move back files of that run.
            report.prepareMoveUndo(mover.undoable() && result.logWritten);
        });
        testFiles(mover, host, report, options, files, result);
        finishLog.runNow();

        host.refreshFileList();
        run.end();
    }
    lock.release();
    report.showClosingMessage(host, result);
    return result;
}
