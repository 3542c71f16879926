// Kept move runs: whatever sequence of runs came before, every moved picture
// can be brought back to its folder; one mover at a time; numbers that never
// clash with an earlier run's.

#include "common/file_fixtures.h"
#include "common/recording_job_host.h"
#include "common/test_registry.h"
#include "fs/file_ops.h"
#include "i18n/catalogue.h"
#include "i18n/own_texts.h"
#include "jobs/defect_scan/defect_scan.h"
#include "jobs/defect_scan/defect_scan_fixtures.h"
#include "jobs/defect_scan/kept_run_undo.h"
#include "jobs/defect_scan/move_history.h"
#include "jobs/defect_scan/move_log.h"
#include "jobs/framework/job_controls.h"

#include <QDir>
#include <QTest>

using namespace defect_scan_fixtures;

namespace {

// Cut-off pictures of distinct bytes, three of them named a.jpg.
const QStringList kPictures = {"pics/x/a.jpg", "pics/y/a.jpg", "pics/z/a.jpg",
                               "pics/x/b.jpg", "pics/y/c.jpg", "pics/z/d.jpg"};

void makePictures(fixtures::Tree& tree) {
    for (int i = 0; i < kPictures.size(); ++i)
        QVERIFY(tree.file(kPictures.at(i), fixtures::truncatedJpeg(300 + i)));
    QVERIFY(tree.file("pics/y/sound.jpg", fixtures::soundJpeg()));
}

// One step of a sequence: "move", "copy", "move stop N" (stopped after N
// tested files), "old log" (x/b.jpg moved by an older version, whose log
// is the only record), "undo" (the window's undo of the last run).
void runStep(RecordingJobHost& host, fixtures::Tree& tree, const QString& step) {
    host.stopFlags().JpegJobStop = 0;
    host.onProcessPendingMessages({});
    if (step == "old log") {
        const QString moved = tree.path("work/Defekt/Defekt1_b.jpg");
        QVERIFY(tree.folder("work/Defekt"));
        QVERIFY(MoveFileNoOverwrite(tree.path("pics/x/b.jpg"), moved));
        QVERIFY(WriteMoveLog(logPath(host), {tree.path("pics/x/b.jpg"), moved}));
        return;
    }
    if (step == "undo") {
        UndoLastMoveRun(host);
        return;
    }
    const QStringList words = step.split(' ');
    if (words.size() == 3)
        host.onProcessPendingMessages([&host, stopAt = words.at(2)](int) {
            if (host.text(kDefectScanControls.progress.done) == stopAt)
                host.stopFlags().JpegJobStop = 1;
        });
    ScanDefectiveJpegs(host, recursive(words.first() == "move"), &host);
    if (words.first() == "move" && !host.lists().ProtokollListBox.isEmpty()) {
        // The run's kept file holds exactly the moves it made.
        const QList<KeptRun> runs = ReadKeptRuns(KeptRunsFolder(logPath(host)));
        QVERIFY(!runs.isEmpty());
        QCOMPARE(runs.last().lines, host.lists().ProtokollListBox);
        QCOMPARE(runs.last().startFolders, QStringList({tree.path("pics/")}));
    }
}

QString defectFile(fixtures::Tree& tree, const QString& name) {
    return tree.path("work/Defekt/" + name);
}

} // namespace

class TestMoveHistory : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(10000); }
    void cleanup() { SetLanguageOffset(0); }

    // Any later run used to replace the only record of an earlier move run,
    // and its pictures stayed in the defect folder under names that keep no
    // folder. After each sequence, undoing every kept run brings each
    // picture back to its own folder, and no kept run is left.
    void everyMovedFileComesBack_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("move run, then copy run") << QStringList{"move", "copy"};
        QTest::newRow("stopped part-way, then the same run again")
            << QStringList{"move stop 3", "move"};
        QTest::newRow("stopped twice, copy between, run again")
            << QStringList{"move stop 2", "copy", "move stop 5", "move"};
        QTest::newRow("older version's log, then a copy run")
            << QStringList{"old log", "copy", "move stop 2"};
        QTest::newRow("window's undo between two runs")
            << QStringList{"move stop 2", "move", "undo", "move stop 4"};
    }
    void everyMovedFileComesBack() {
        QFETCH(QStringList, steps);
        fixtures::Tree tree;
        RecordingJobHost host;
        useWorkingFolder(host, tree);
        makePictures(tree);
        host.setSelectedFolder(tree.path("pics/"));
        for (const QString& step : steps)
            runStep(host, tree, step);

        const KeptRunUndo undo = UndoKeptRuns(host, QString());

        QVERIFY(!undo.result.busy);
        QVERIFY2(undo.result.leftInPlace.isEmpty(), qPrintable(undo.result.leftInPlace.join(' ')));
        for (int i = 0; i < kPictures.size(); ++i)
            QCOMPARE(tree.read(kPictures.at(i)), fixtures::truncatedJpeg(300 + i));
        // Only copy runs leave files behind: their copies.
        if (!steps.contains("copy"))
            QCOMPARE(tree.names("work/Defekt"), QStringList());
        QVERIFY(ReadKeptRuns(KeptRunsFolder(logPath(host))).isEmpty());
        QCOMPARE(host.busyDepth(), 0);
    }

    // A run numbers after the highest number in the defect folder or named
    // by a kept run: a move after a copy run (or after an earlier move of a
    // file of the same name) used to find its names taken, leave the files
    // in place and report success.
    void numbersNeverClash_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("names"); // the defect folder afterwards
        QTest::addColumn<int>("transferred");   // by the last run
        QTest::addColumn<int>("alreadyThere");
        QTest::newRow("move after a copy run")
            << QStringList{"copy", "move"}
            << QStringList{"Defekt1_a.jpg", "Defekt2_a.jpg", "Defekt3_b.jpg",
                           "Defekt4_a.jpg", "Defekt5_a.jpg", "Defekt6_b.jpg"}
            << 3 << 0;
        QTest::newRow("copy twice makes no second copy")
            << QStringList{"copy", "copy"}
            << QStringList{"Defekt1_a.jpg", "Defekt2_a.jpg", "Defekt3_b.jpg"} << 0 << 3;
        QTest::newRow("a new file of a moved file's name")
            << QStringList{"move", "new x/a.jpg", "move"}
            << QStringList{"Defekt1_a.jpg", "Defekt2_a.jpg", "Defekt3_b.jpg", "Defekt4_a.jpg"} << 1
            << 0;
        QTest::newRow("a kept run names a number whose file is gone")
            << QStringList{"kept Defekt7_a.jpg", "move"}
            << QStringList{"Defekt10_b.jpg", "Defekt8_a.jpg", "Defekt9_a.jpg"} << 3 << 0;
    }
    void numbersNeverClash() {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, names);
        QFETCH(int, transferred);
        QFETCH(int, alreadyThere);
        fixtures::Tree tree;
        RecordingJobHost host;
        useWorkingFolder(host, tree);
        QVERIFY(tree.file("pics/x/a.jpg", fixtures::truncatedJpeg(301)));
        QVERIFY(tree.file("pics/y/a.jpg", fixtures::truncatedJpeg(302)));
        QVERIFY(tree.file("pics/y/b.jpg", fixtures::truncatedJpeg(303)));
        host.setSelectedFolder(tree.path("pics/"));
        DefectScanResult last;
        for (const QString& step : steps) {
            if (step.startsWith("new "))
                QVERIFY(tree.file("pics/" + step.mid(4), fixtures::truncatedJpeg(401)));
            else if (step.startsWith("kept "))
                QVERIFY(!WriteKeptRun(KeptRunsFolder(logPath(host)), QDateTime::currentDateTime(),
                                      {},
                                      {tree.path("pics/gone.jpg"), defectFile(tree, step.mid(5))})
                             .isEmpty());
            else
                last = ScanDefectiveJpegs(host, recursive(step == "move"), &host);
        }
        QCOMPARE(tree.names("work/Defekt"), names);
        QCOMPARE(last.transferred, transferred);
        QCOMPARE(last.alreadyThere, alreadyThere);
        QCOMPARE(last.leftInPlace(), 0);
        QCOMPARE(host.undoPreparations().last(), steps.last() == "move");
        if (steps.last() == "move")
            QCOMPARE(UndoLastMoveRun(host).restored, transferred);
    }

    // No run reports success for a file it left in place: the closing
    // message says how many, and the undo is offered only when something
    // was moved.
    void leftInPlaceIsCounted_data() {
        QTest::addColumn<bool>("movable"); // a second, ordinary defective file
        QTest::newRow("one of two left in place") << true;
        QTest::newRow("the only file left in place") << false;
    }
    void leftInPlaceIsCounted() {
        QFETCH(bool, movable);
        fixtures::Tree tree;
        RecordingJobHost host;
        useWorkingFolder(host, tree);
        QVERIFY(tree.file("pics/line\nbreak.jpg", fixtures::truncatedJpeg()));
        if (movable)
            QVERIFY(tree.file("pics/a.jpg", fixtures::truncatedJpeg()));
        host.setSelectedFolder(tree.path("pics/"));

        const DefectScanResult result = ScanDefectiveJpegs(host, recursive(true), &host);

        QCOMPARE(result.leftInPlace(), 1);
        QCOMPARE(host.messages().size(), 1);
        QCOMPARE(host.messages().at(0).kind, MessageKind::Warning);
        QCOMPARE(host.messages().at(0).text, CatalogueText(CatalogueId::ScanFinished) + "\n\n" +
                                                 OwnText("defects.left_in_place").arg(1));
        QCOMPARE(host.undoPreparations(), QList<bool>({movable}));
    }

    // A kept run is forgotten only when none of its files is still moved; a
    // defect folder that is not there (a drive not mounted) keeps it.
    void keptRunIsForgottenWhenNothingIsLeft_data() {
        QTest::addColumn<QString>("afterwards");
        QTest::addColumn<int>("kept");
        QTest::newRow("all moved back") << "back" << 0;
        QTest::newRow("one still in the defect folder") << "one back" << 1;
        QTest::newRow("defect folder not there") << "folder gone" << 1;
    }
    void keptRunIsForgottenWhenNothingIsLeft() {
        QFETCH(QString, afterwards);
        QFETCH(int, kept);
        fixtures::Tree tree;
        RecordingJobHost host;
        useWorkingFolder(host, tree);
        QVERIFY(tree.file("pics/a.jpg", fixtures::truncatedJpeg(301)));
        QVERIFY(tree.file("pics/b.jpg", fixtures::truncatedJpeg(302)));
        host.setSelectedFolder(tree.path("pics/"));
        ScanDefectiveJpegs(host, recursive(true), &host);
        const QString folder = KeptRunsFolder(logPath(host));
        QCOMPARE(ReadKeptRuns(folder).size(), 1);
        if (afterwards == "back") {
            QVERIFY(
                MoveFileNoOverwrite(defectFile(tree, "Defekt1_a.jpg"), tree.path("pics/a.jpg")));
            QVERIFY(
                MoveFileNoOverwrite(defectFile(tree, "Defekt2_b.jpg"), tree.path("pics/b.jpg")));
        } else if (afterwards == "one back") {
            QVERIFY(
                MoveFileNoOverwrite(defectFile(tree, "Defekt1_a.jpg"), tree.path("pics/a.jpg")));
        } else {
            QVERIFY(QDir(tree.path("work/Defekt")).removeRecursively());
        }
        ForgetFinishedRuns(folder);
        QCOMPARE(ReadKeptRuns(folder).size(), kept);
    }
};

KELVASTO_REGISTER_TEST(TestMoveHistory)
#include "test_move_history.moc"
