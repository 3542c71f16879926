#include "base/errors.h"
#include "common/file_fixtures.h"
#include "common/recording_job_host.h"
#include "common/skip_fixtures.h"
#include "common/test_registry.h"
#include "fs/file_ops.h"
#include "i18n/catalogue.h"
#include "jobs/defect_scan/defect_results.h"
#include "jobs/defect_scan/defect_scan.h"
#include "jobs/defect_scan/defect_scan_fixtures.h"
#include "jobs/defect_scan/move_log.h"
#include "jobs/framework/job_controls.h"
#include "settings/app_settings.h"

#include <QCoreApplication>
#include <QTest>

using namespace defect_scan_fixtures;

// Move runs: the move log, and what a killed or failing run leaves behind.
class TestDefectScanMoves : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(10000); }
    void cleanup() { SetLanguageOffset(0); }

    void moveRunLogsPairsAndReplacesTheLog() {
        fixtures::Tree tree;
        RecordingJobHost host;
        useWorkingFolder(host, tree);
        const int k = 5;
        for (int i = 0; i < 10; ++i)
            QVERIFY(tree.file(QStringLiteral("pics/f%1.jpg").arg(i),
                              i < k ? fixtures::truncatedJpeg() : fixtures::soundJpeg()));
        QVERIFY(tree.file("work/Protokoll.txt", "old\r\nlog\r\n"));
        host.setSelectedFolder(tree.path("pics/"));

        const DefectScanResult result = ScanDefectiveJpegs(host, recursive(true), &host);

        QCOMPARE(result.transferred, k);
        const QByteArray log = tree.read("work/Protokoll.txt");
        QCOMPARE(log.count("\r\n"), 2 * k);
        QCOMPARE(log.count('\n'), 2 * k);
        const QStringList lines = ReadMoveLog(logPath(host)).lines;
        QCOMPARE(lines, host.lists().ProtokollListBox);
        QCOMPARE(lines.at(0), tree.path("pics/f0.jpg"));
        QCOMPARE(lines.at(1), tree.path("work/Defekt/Defekt01_f0.jpg"));
        for (int i = 0; i < k; ++i)
            QVERIFY(!tree.exists(QStringLiteral("pics/f%1.jpg").arg(i)));
        QCOMPARE(tree.names("work/Defekt").size(), k);
        QCOMPARE(host.undoPreparations(), QList<bool>({true}));
        // No temporary left; the lock file stays for the next mover.
        QCOMPARE(tree.names("work"), QStringList({".kelvasto-mover.lock", "Protokoll.txt"}));
        QCOMPARE(tree.names("work/Protokolle").size(), 1);
    }

    // A move run killed half-way must leave the pairs of its moves on disk.
    void logOnDiskFollowsEveryMove() {
        fixtures::Tree tree;
        RecordingJobHost host;
        useWorkingFolder(host, tree);
        for (int i = 0; i < 6; ++i)
            QVERIFY(tree.file(QStringLiteral("pics/f%1.jpg").arg(i), fixtures::truncatedJpeg()));
        QVERIFY(tree.file("work/Protokoll.txt", "older run\r\n"));
        host.setSelectedFolder(tree.path("pics/"));
        QList<int> linesOnDisk;
        host.onProcessPendingMessages([&](int) {
            if (!host.text(kDefectScanControls.progress.total).isEmpty())
                linesOnDisk.append(int(ReadMoveLog(logPath(host)).lines.size()));
        });
        ScanDefectiveJpegs(host, recursive(true), &host);
        QCOMPARE(linesOnDisk, QList<int>({0, 2, 4, 6, 8, 10}));
        QCOMPARE(ReadMoveLog(logPath(host)).lines.size(), 12);
    }

    // Moves the log cannot record could never be undone: none are made, and
    // the undo is not offered for a log that is not this run's.
    void moveWithoutAWritableLogMovesNothing() {
        fixtures::Tree tree;
        RecordingJobHost host;
        host.settings().Arbeitsverzeichnis = tree.path("no/such/work/");
        QVERIFY(tree.file("pics/a.jpg", fixtures::truncatedJpeg()));
        QVERIFY(tree.file("pics/b.jpg", fixtures::truncatedJpeg()));
        QVERIFY(tree.file("pics/c.jpg", fixtures::soundJpeg()));
        host.setSelectedFolder(tree.path("pics/"));
        DefectScanOptions options = recursive(true);
        options.destination = tree.path("dest");

        const DefectScanResult result = ScanDefectiveJpegs(host, options, &host);

        QCOMPARE(result.defective, 2);
        QCOMPARE(result.unlogged, 2);
        QCOMPARE(result.transferred, 0);
        QVERIFY(!result.logWritten);
        QCOMPARE(tree.names("pics"), QStringList({"a.jpg", "b.jpg", "c.jpg"}));
        QVERIFY(!tree.exists("dest/Defekt/Defekt1_a.jpg"));
        QVERIFY(host.lists().ProtokollListBox.isEmpty());
        QCOMPARE(host.undoPreparations(), QList<bool>({false}));
        QCOMPARE(host.messages().size(), 1); // the closing message as always
    }

    // When the disk fills up, the log and the moves stay in step: a pair cut
    // off half-way is removed again, and no file moves without its pair.
    void fullDiskKeepsLogAndMovesInStep() {
        fixtures::Tree tree;
        RecordingJobHost host;
        useWorkingFolder(host, tree);
        for (int i = 0; i < 6; ++i)
            QVERIFY(tree.file(QStringLiteral("pics/f%1.jpg").arg(i), fixtures::truncatedJpeg()));
        host.setSelectedFolder(tree.path("pics/"));
        const qsizetype pair =
            EncodeMoveLog({tree.path("pics/f0.jpg"), tree.path("work/Defekt/Defekt1_f0.jpg")})
                .size();
        // The run's kept file holds its header before the same pairs.
        const qsizetype header = EncodeMoveLog({"#start " + tree.path("pics/")}).size();

        QList<qsizetype> bytesOnDisk;
        host.onProcessPendingMessages([&](int) {
            if (!host.text(kDefectScanControls.progress.total).isEmpty())
                bytesOnDisk.append(tree.read("work/Protokoll.txt").size());
        });
        DefectScanResult result;
        {
            fixtures::FileSizeLimit disk(rlim_t(header + 2 * pair + 5));
            result = ScanDefectiveJpegs(host, recursive(true), &host);
        }

        QCOMPARE(result.defective, 6);
        QCOMPARE(result.transferred, 2);
        QCOMPARE(result.unlogged, 4);
        QCOMPARE(bytesOnDisk, QList<qsizetype>({0, pair, 2 * pair, 2 * pair, 2 * pair, 2 * pair}));
        const QStringList lines = ReadMoveLog(logPath(host)).lines;
        QCOMPARE(lines,
                 QStringList({tree.path("pics/f0.jpg"), tree.path("work/Defekt/Defekt1_f0.jpg"),
                              tree.path("pics/f1.jpg"), tree.path("work/Defekt/Defekt2_f1.jpg")}));
        QCOMPARE(tree.names("work/Defekt"), QStringList({"Defekt1_f0.jpg", "Defekt2_f1.jpg"}));
        QCOMPARE(tree.names("pics").size(), 4);
        QCOMPARE(host.undoPreparations(), QList<bool>({true}));
    }

    // A move run killed across file systems after its copy was complete left
    // the picture at both places, and its log names the pair. The next run
    // finds its predecessor's whole copy and finishes that move (under the
    // name it has, logged as this run's), instead of placing the picture a
    // second time; any other file is left alone, and the picture goes under
    // a free number.
    void scanFinishesAKilledRunsMove_data() {
        QTest::addColumn<QString>("loggedTarget"); // in the last run's log; "" for none
        QTest::addColumn<bool>("sameBytes");       // at work/Defekt/<loggedTarget or Defekt1_a.jpg>
        QTest::addColumn<QString>("finalTarget");  // where a.jpg ends up; "" for not moved
        QTest::newRow("its own whole copy") << "Defekt1_a.jpg" << true << "Defekt1_a.jpg";
        QTest::newRow("its own whole copy, other number")
            << "Defekt7_a.jpg" << true << "Defekt7_a.jpg";
        QTest::newRow("half a copy under another number")
            << "Defekt7_a.jpg" << false << "Defekt8_a.jpg";
        QTest::newRow("other bytes at the target") << "Defekt1_a.jpg" << false << "Defekt2_a.jpg";
        QTest::newRow("same bytes, not the last run's") << "" << true << "Defekt2_a.jpg";
    }
    void scanFinishesAKilledRunsMove() {
        QFETCH(QString, loggedTarget);
        QFETCH(bool, sameBytes);
        QFETCH(QString, finalTarget);
        fixtures::Tree tree;
        RecordingJobHost host;
        useWorkingFolder(host, tree);
        const QByteArray bytes = fixtures::truncatedJpeg(4000);
        const QByteArray other = sameBytes ? bytes : bytes.left(1500);
        const QString left = loggedTarget.isEmpty() ? "Defekt1_a.jpg" : loggedTarget;
        QVERIFY(tree.file("pics/a.jpg", bytes));
        QVERIFY(tree.file("work/Defekt/" + left, other));
        QStringList lastRun;
        if (!loggedTarget.isEmpty())
            lastRun << tree.path("pics/a.jpg") << tree.path("work/Defekt/" + loggedTarget);
        QVERIFY(WriteMoveLog(logPath(host), lastRun));
        host.setSelectedFolder(tree.path("pics/"));

        const DefectScanResult result = ScanDefectiveJpegs(host, recursive(true), &host);

        const bool moved = !finalTarget.isEmpty();
        QCOMPARE(result.defective, 1);
        QCOMPARE(result.transferred, moved ? 1 : 0);
        QCOMPARE(tree.exists("pics/a.jpg"), !moved);
        if (moved)
            QCOMPARE(tree.read("work/Defekt/" + finalTarget), bytes);
        if (left != finalTarget)
            QCOMPARE(tree.read("work/Defekt/" + left), other);
        // The log lists the move only when it was made, so the undo never
        // moves a file this run did not move.
        const QStringList pair =
            moved ? QStringList({tree.path("pics/a.jpg"), tree.path("work/Defekt/" + finalTarget)})
                  : QStringList();
        QCOMPARE(ReadMoveLog(logPath(host)).lines, pair);
        QCOMPARE(host.lists().ProtokollListBox, pair);
        QCOMPARE(host.defectNotes().size(), 1);
        QCOMPARE(host.defectNotes().at(0).done, moved);
        QCOMPARE(UndoMoves(logPath(host)).restored, moved ? 1 : 0);
        QCOMPARE(tree.read("pics/a.jpg"), bytes);
    }

    // What killed runs left half-written in the defect folder and beside the
    // log goes at the start of the next run, in both modes.
    void leftoversOfKilledRunsAreRemoved_data() {
        QTest::addColumn<bool>("move");
        QTest::newRow("copy") << false;
        QTest::newRow("move") << true;
    }
    void leftoversOfKilledRunsAreRemoved() {
        QFETCH(bool, move);
        fixtures::Tree tree;
        RecordingJobHost host;
        useWorkingFolder(host, tree);
        QVERIFY(tree.folder("work/Defekt"));
        fixtures::leaveTemporary(tree.path("work/Defekt/.kelvasto-tmp-copy01"), "half", false);
        fixtures::leaveTemporary(tree.path("work/.kelvasto-tmp-log001"), "F\r\n", false);
        QVERIFY(tree.file("work/Protokoll.txt.backup", "the user's own"));
        QVERIFY(tree.file("pics/a.jpg", fixtures::truncatedJpeg()));
        host.setSelectedFolder(tree.path("pics/"));
        ScanDefectiveJpegs(host, recursive(move), &host);
        QCOMPARE(tree.names("work/Defekt"), QStringList({"Defekt1_a.jpg"}));
        QCOMPARE(tree.names("work"),
                 QStringList({".kelvasto-mover.lock", "Protokoll.txt", "Protokoll.txt.backup"}));
    }

    // Files that cannot be read are named with their reason, counted, and
    // tested as not defective; the run goes on.
};

KELVASTO_REGISTER_TEST(TestDefectScanMoves)
#include "test_defect_scan_moves.moc"
