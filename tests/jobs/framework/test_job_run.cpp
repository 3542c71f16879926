// The frame every job runs in: whatever way a run ends, the window is given
// back in one order (watcher, lock, cursor); and the file loop stops exactly
// where its stop flag says.

#include "base/errors.h"
#include "common/file_fixtures.h"
#include "common/recording_job_host.h"
#include "common/test_registry.h"
#include "jobs/defect_scan/defect_scan.h"
#include "jobs/framework/job_controls.h"
#include "jobs/framework/job_run.h"

#include <QTest>

namespace {

enum class Exit { Normal, NothingCollected, Stop, ThrowWhileCollecting, ThrowInLoop, ScopeEnd };

// A reduction-like job of three files that leaves by `exit`.
void runJob(RecordingJobHost& host, Exit exit) {
    JobRun run(host, JobKind::Reduction, kReductionControls.progress, {kReductionControls.savings});
    run.startWatcher(WatcherKind::JPEGVerkleinern);
    if (exit == Exit::ThrowWhileCollecting)
        throw KelvastoError("folder vanished");
    run.stopWatcher();
    if (exit == Exit::NothingCollected)
        return;
    FileLoop loop(host, &StopFlags::JpegJobStop, kReductionControls.progress, 3);
    for (int i = 0; i < 3; ++i) {
        if (!loop.next())
            break;
        if (exit == Exit::ThrowInLoop && i == 1)
            throw KelvastoError("file vanished");
        if (exit == Exit::Stop)
            host.stopFlags().JpegJobStop = 1;
        loop.advance();
    }
    if (exit != Exit::ScopeEnd)
        run.end();
}

// The frame of one run of a job of `kind`, in the one order.
QStringList frameOf(JobKind kind) {
    const QString number = QString::number(int(kind));
    return {"busy", "lock " + number, "watch", "unwatch", "unlock " + number, "normal"};
}

// A host whose window refuses to unlock.
class StuckHost : public RecordingJobHost {
public:
    void unlockUi(JobKind kind) override {
        RecordingJobHost::unlockUi(kind);
        throw KelvastoError("unlock failed");
    }
};

// A reporter that fails on the first defective file.
class FailingReporter : public DefectScanReporter {
public:
    void noteDefectiveFile(const QString&, const QString&, DefectTransfer) override {
        throw KelvastoError("disk on fire");
    }
};

} // namespace

class TestJobRun : public QObject {
    Q_OBJECT
private slots:
    void everyExitReleasesInOneOrder_data() {
        QTest::addColumn<int>("exit");
        QTest::addColumn<bool>("throws");
        QTest::newRow("normal end") << int(Exit::Normal) << false;
        QTest::newRow("end of scope") << int(Exit::ScopeEnd) << false;
        QTest::newRow("nothing collected") << int(Exit::NothingCollected) << false;
        QTest::newRow("stop request") << int(Exit::Stop) << false;
        QTest::newRow("error while collecting") << int(Exit::ThrowWhileCollecting) << true;
        QTest::newRow("error in the loop") << int(Exit::ThrowInLoop) << true;
    }
    void everyExitReleasesInOneOrder() {
        QFETCH(int, exit);
        QFETCH(bool, throws);
        RecordingJobHost host;
        bool thrown = false;
        try {
            runJob(host, Exit(exit));
        } catch (const KelvastoError&) {
            thrown = true;
        }
        QCOMPARE(thrown, throws);
        QCOMPARE(host.frameCalls(), frameOf(JobKind::Reduction));
        QCOMPARE(host.busyDepth(), 0);
        QVERIFY(host.lockBalanced());
    }

    // A window that fails to unlock must not also keep the hourglass, and the
    // failure is not swallowed.
    void aFailingStepDoesNotSkipTheNext() {
        StuckHost host;
        QVERIFY_THROWS_EXCEPTION(KelvastoError, runJob(host, Exit::Normal));
        QCOMPARE(host.frameCalls(), frameOf(JobKind::Reduction));
        QCOMPARE(host.busyDepth(), 0);
    }

    // The defect scan built on the frame, over its real ways out.
    void defectScanReleasesInOneOrder_data() {
        QTest::addColumn<QString>("way");
        QTest::newRow("whole run") << "run";
        QTest::newRow("nothing selected") << "empty";
        QTest::newRow("stopped at the first file") << "stop";
        QTest::newRow("error reporting a file") << "error";
    }
    void defectScanReleasesInOneOrder() {
        QFETCH(QString, way);
        fixtures::Tree tree;
        QVERIFY(tree.file("pics/a.jpg", fixtures::truncatedJpeg()));
        QVERIFY(tree.file("pics/b.jpg", fixtures::soundJpeg()));
        RecordingJobHost host;
        QVERIFY(tree.folder("work"));
        host.settings().Arbeitsverzeichnis = tree.path("work/");
        host.setSelectedFiles(way == "empty"
                                  ? QStringList()
                                  : QStringList{tree.path("pics/a.jpg"), tree.path("pics/b.jpg")});
        if (way == "stop")
            host.onProcessPendingMessages([&](int) { host.stopFlags().JpegJobStop = 1; });
        FailingReporter failing;
        bool thrown = false;
        try {
            ScanDefectiveJpegs(host, DefectScanOptions{},
                               way == "error" ? &failing : static_cast<DefectScanReporter*>(&host));
        } catch (const KelvastoError&) {
            thrown = true;
        }
        QCOMPARE(thrown, way == "error");
        QCOMPARE(host.frameCalls(), frameOf(JobKind::DefectScan));
        QCOMPARE(host.busyDepth(), 0);
    }

    void loopStopsAfterFileK_data() {
        QTest::addColumn<bool>("batchJob");   // the job obeys BatchJobStop, else JpegJobStop
        QTest::addColumn<bool>("raiseBatch"); // the flag the abort button raises
        QTest::addColumn<int>("k");           // raised while file k + 1 is due
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("processed");
        QTest::newRow("JPEG job, stop after 3 of 10") << false << false << 3 << 10 << 3;
        QTest::newRow("batch job, stop after 3 of 10") << true << true << 3 << 10 << 3;
        QTest::newRow("stop before the first file") << false << false << 0 << 10 << 0;
        QTest::newRow("stop after the last file") << true << true << 10 << 10 << 10;
        QTest::newRow("one file, stopped after it") << false << false << 1 << 1 << 1;
        QTest::newRow("JPEG job ignores the batch flag") << false << true << 3 << 10 << 10;
        QTest::newRow("batch job ignores the JPEG flag") << true << false << 3 << 10 << 10;
    }
    void loopStopsAfterFileK() {
        QFETCH(bool, batchJob);
        QFETCH(bool, raiseBatch);
        QFETCH(int, k);
        QFETCH(int, n);
        QFETCH(int, processed);
        RecordingJobHost host;
        const ProgressControls& progress = kFunctionsControls.progress;
        host.onProcessPendingMessages([&](int call) {
            if (call == k + 1)
                (raiseBatch ? host.stopFlags().BatchJobStop : host.stopFlags().JpegJobStop) = 1;
        });
        JobRun run(host, JobKind::JpegFunctions, progress);
        FileLoop loop(host, batchJob ? &StopFlags::BatchJobStop : &StopFlags::JpegJobStop, progress,
                      n);
        int handled = 0;
        for (int i = 0; i < n; ++i) {
            if (!loop.next())
                break;
            ++handled;
            loop.advance();
        }
        QCOMPARE(handled, processed);
        QCOMPARE(loop.done(), processed);
        QCOMPARE(loop.stopped(), processed < n);
        QCOMPARE(host.progressMaximum(progress.bar), n);
        QCOMPARE(host.progressValue(progress.bar), processed);
        QCOMPARE(host.text(progress.done), QString::number(processed));
        QCOMPARE(host.text(progress.total), QString::number(n));
    }

    // The defect scan and the reduction drop an abort clicked while they
    // collected; jobs that clear their flag at their start keep it for the
    // loop.
    void stopRequestBeforeTheLoop_data() {
        QTest::addColumn<bool>("clear");
        QTest::addColumn<int>("processed");
        QTest::newRow("cleared before the loop") << true << 4;
        QTest::newRow("kept from the start") << false << 0;
    }
    void stopRequestBeforeTheLoop() {
        QFETCH(bool, clear);
        QFETCH(int, processed);
        RecordingJobHost host;
        host.stopFlags().BatchJobStop = 1;
        FileLoop loop(host, &StopFlags::BatchJobStop, kFunctionsControls.progress, 4,
                      clear ? FileLoop::StopAtStart::Clear : FileLoop::StopAtStart::Keep);
        while (loop.done() < 4 && loop.next())
            loop.advance();
        QCOMPARE(loop.done(), processed);
    }
};

KELVASTO_REGISTER_TEST(TestJobRun)
#include "test_job_run.moc"
