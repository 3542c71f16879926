#include "common/file_fixtures.h"
#include "common/recording_job_host.h"
#include "common/skip_fixtures.h"
#include "common/test_registry.h"
#include "fs/file_ops.h"
#include "jobs/defect_scan/defect_scan.h"
#include "jobs/defect_scan/move_log.h"

#include <QTest>

Q_DECLARE_METATYPE(UndoOutcome)

namespace {

// Moves three defective files of three folders and returns the host's log path.
QString moveThree(RecordingJobHost& host, fixtures::Tree& tree) {
    tree.folder("work");
    host.settings().Arbeitsverzeichnis = tree.path("work/");
    tree.file("pics/a.jpg", fixtures::truncatedJpeg(301));
    tree.file("pics/x/b.jpg", fixtures::truncatedJpeg(302));
    tree.file("pics/y/c.jpeg", fixtures::truncatedJpeg(303));
    tree.file("pics/y/sound.jpg", fixtures::soundJpeg());
    host.setSelectedFolder(tree.path("pics/"));
    DefectScanOptions options;
    options.recursive = true;
    options.move = true;
    ScanDefectiveJpegs(host, options, &host);
    return ProtocolFilePath(host.settings());
}

} // namespace

class TestMoveUndo : public QObject {
    Q_OBJECT
private slots:
    void roundTripOfThreeFiles() {
        fixtures::Tree tree;
        RecordingJobHost host;
        const QString log = moveThree(host, tree);
        QCOMPARE(tree.names("work/Defekt").size(), 3);
        const QByteArray logBefore = testing::readFile(log);

        const UndoResult result = UndoLastMoveRun(host);
        QVERIFY(result.logRead);
        QCOMPARE(result.pairs, 3);
        QCOMPARE(result.restored, 3);
        QCOMPARE(tree.read("pics/a.jpg").size(), 301);
        QCOMPARE(tree.read("pics/x/b.jpg").size(), 302);
        QCOMPARE(tree.read("pics/y/c.jpeg").size(), 303);
        QVERIFY(tree.names("work/Defekt").isEmpty());
        QVERIFY(QFileInfo(tree.path("work/Defekt")).isDir()); // the emptied folder stays
        QCOMPARE(testing::readFile(log), logBefore);          // never written by the undo
        QCOMPARE(host.busyDepth(), 0);
        QCOMPARE(host.refreshCount(), 2);
    }

    // An entry that cannot go back is skipped; the others are restored.
    void whatCannotGoBackIsSkipped_data() {
        QTest::addColumn<bool>("newerFile"); // else the former folder is gone
        QTest::newRow("a newer file at the former path") << true;
        QTest::newRow("the former folder gone") << false;
    }
    void whatCannotGoBackIsSkipped() {
        QFETCH(bool, newerFile);
        fixtures::Tree tree;
        RecordingJobHost host;
        const QString log = moveThree(host, tree);
        if (newerFile)
            QVERIFY(tree.file("pics/x/b.jpg", "a newer file"));
        else
            QVERIFY(QDir(tree.path("pics/x")).removeRecursively());
        QCOMPARE(UndoMoves(log).restored, 2);
        QCOMPARE(tree.names("work/Defekt"), QStringList({"Defekt2_b.jpg"}));
        QVERIFY(tree.exists("pics/a.jpg"));
        QVERIFY(tree.exists("pics/y/c.jpeg"));
        if (newerFile)
            QCOMPARE(tree.read("pics/x/b.jpg"), QByteArray("a newer file"));
        else
            QVERIFY(!tree.exists("pics/x")); // no folder is created for it
    }

    void changedWorkingFolderFindsNothing() {
        fixtures::Tree tree;
        RecordingJobHost host;
        moveThree(host, tree);
        QVERIFY(tree.folder("other"));
        host.settings().Arbeitsverzeichnis = tree.path("other/");
        const UndoResult result = UndoLastMoveRun(host);
        QVERIFY(!result.logRead);
        QCOMPARE(result.restored, 0);
        QCOMPARE(tree.names("work/Defekt").size(), 3);
        QCOMPARE(host.busyDepth(), 0);
        QCOMPARE(host.refreshCount(), 2);
    }

    void copyRunAfterMoveRunEmptiesTheLog() {
        fixtures::Tree tree;
        RecordingJobHost host;
        const QString log = moveThree(host, tree);
        QVERIFY(tree.file("pics/z.jpg", fixtures::truncatedJpeg()));
        ScanDefectiveJpegs(host, DefectScanOptions{true, false, {}, {}}, &host);
        QCOMPARE(testing::readFile(log), QByteArray());
        QCOMPARE(host.undoPreparations(), QList<bool>({true, false}));
        const UndoResult result = UndoMoves(log);
        QCOMPARE(result.pairs, 1); // the empty file reads as one empty pair
        QCOMPARE(result.restored, 0);
        QCOMPARE(tree.names("work/Defekt").size(), 4);
    }

    void malformedLogs_data() {
        QTest::addColumn<QByteArray>("log");
        QTest::addColumn<int>("pairs");
        QTest::addColumn<int>("restored");
        QTest::addColumn<QStringList>("present");
        QTest::newRow("odd line count")
            << QByteArray("F1\r\nN1\r\nF2\r\n") << 2 << 1 << QStringList({"F1", "N2"});
        QTest::newRow("LF line ends")
            << QByteArray("F1\nN1\nF2\nN2\n") << 2 << 2 << QStringList({"F1", "F2"});
        QTest::newRow("no final line end")
            << QByteArray("F1\r\nN1\r\nF2\r\nN2") << 2 << 2 << QStringList({"F1", "F2"});
        QTest::newRow("empty lines")
            << QByteArray("\r\n\r\nF1\r\nN1\r\n") << 2 << 1 << QStringList({"F1", "N2"});
    }
    void malformedLogs() {
        QFETCH(QByteArray, log);
        QFETCH(int, pairs);
        QFETCH(int, restored);
        QFETCH(QStringList, present);
        fixtures::Tree tree;
        QVERIFY(tree.file("N1", "1"));
        QVERIFY(tree.file("N2", "2"));
        log.replace("F1", QFile::encodeName(tree.path("F1")));
        log.replace("F2", QFile::encodeName(tree.path("F2")));
        log.replace("N1", QFile::encodeName(tree.path("N1")));
        log.replace("N2", QFile::encodeName(tree.path("N2")));
        QVERIFY(tree.file("log.txt", log));
        const UndoResult result = UndoMoves(tree.path("log.txt"));
        QCOMPARE(result.pairs, pairs);
        QCOMPARE(result.restored, restored);
        for (const QString& name : present)
            QVERIFY2(tree.exists(name), qPrintable(name));
    }

    // A run killed after its copy was complete left the picture at both
    // ends of a pair. Where the former path holds exactly the moved bytes,
    // the undo removes the second copy and counts the pair as undone; any
    // other file at the former path keeps the moved file where it is.
    void formerPathAlreadyHoldingTheFile_data() {
        QTest::addColumn<QString>("atFormer"); // what stands at pics/x/b.jpg
        QTest::addColumn<bool>("undone");
        QTest::newRow("same bytes") << "same bytes" << true;
        QTest::newRow("hard link of the moved file") << "hard link" << true;
        QTest::newRow("same size, other bytes") << "other bytes" << false;
        QTest::newRow("link to the moved file") << "symlink" << false;
    }
    void formerPathAlreadyHoldingTheFile() {
        QFETCH(QString, atFormer);
        QFETCH(bool, undone);
        fixtures::Tree tree;
        RecordingJobHost host;
        const QString log = moveThree(host, tree);
        const QString moved = tree.path("work/Defekt/Defekt2_b.jpg");
        const QByteArray bytes = tree.read("work/Defekt/Defekt2_b.jpg");
        const QString former = tree.path("pics/x/b.jpg");
        if (atFormer == "same bytes")
            QVERIFY(tree.file("pics/x/b.jpg", bytes));
        if (atFormer == "hard link")
            QVERIFY(::link(QFile::encodeName(moved).constData(),
                           QFile::encodeName(former).constData()) == 0);
        if (atFormer == "other bytes")
            QVERIFY(tree.file("pics/x/b.jpg", QByteArray(bytes.size(), 'o')));
        if (atFormer == "symlink")
            QVERIFY(QFile::link(moved, former));

        const UndoResult result = UndoMoves(log);

        QCOMPARE(result.pairs, 3);
        QCOMPARE(result.restored, undone ? 3 : 2);
        QCOMPARE(result.failed(), undone ? 0 : 1);
        QCOMPARE(result.leftInPlace, undone ? QStringList() : QStringList({moved}));
        QCOMPARE(FileExists(moved), !undone);
        if (atFormer != "symlink")
            QCOMPARE(tree.read("pics/x/b.jpg"),
                     atFormer == "other bytes" ? QByteArray(bytes.size(), 'o') : bytes);
        if (!undone)
            QCOMPARE(tree.read("work/Defekt/Defekt2_b.jpg"), bytes);
    }

    // The counts say what really happened to each pair: moved back, left in
    // the defect folder (listed), or nothing to move (the file is gone).
    void countsTellEveryPairApart() {
        fixtures::Tree tree;
        RecordingJobHost host;
        const QString log = moveThree(host, tree);
        QVERIFY(tree.file("pics/a.jpg", "a newer file"));
        QVERIFY(QFile::remove(tree.path("work/Defekt/Defekt3_c.jpeg")));
        const UndoResult result = UndoMoves(log);
        QCOMPARE(result.pairs, 3);
        QCOMPARE(result.restored, 1);
        QCOMPARE(result.leftInPlace, QStringList({tree.path("work/Defekt/Defekt1_a.jpg")}));
        QCOMPARE(tree.read("pics/x/b.jpg").size(), 302);
    }

    // A killed undo across file systems leaves at most a temporary file at
    // the former path's folder; the next undo removes it and finishes.
    void undoRemovesLeftoversOfAKilledUndo() {
        fixtures::Tree tree;
        RecordingJobHost host;
        const QString log = moveThree(host, tree);
        const QByteArray bytes = tree.read("work/Defekt/Defekt2_b.jpg");
        fixtures::leaveTemporary(tree.path("pics/x/.kelvasto-tmp-undo01"), bytes.left(100), false);
        fixtures::leaveTemporary(tree.path("work/Defekt/.kelvasto-tmp-scan01"), "half", false);
        const FileDescriptor busy = fixtures::leaveTemporary(
            tree.path("pics/y/.kelvasto-tmp-busy01"), "another run writes this", true);
        QCOMPARE(UndoMoves(log).restored, 3);
        QCOMPARE(tree.names("pics/x"), QStringList({"b.jpg"}));
        QVERIFY(tree.names("work/Defekt").isEmpty());
        QCOMPARE(tree.names("pics/y"),
                 QStringList({".kelvasto-tmp-busy01", "c.jpeg", "sound.jpg"}));
        QCOMPARE(tree.read("pics/x/b.jpg"), bytes);
    }

    void encodedLogUsesCrLfAndFileSystemBytes() {
        QCOMPARE(EncodeMoveLog({QStringLiteral("/a/Bär.jpg"), QStringLiteral("/b")}),
                 QByteArray("/a/B\xc3\xa4r.jpg\r\n/b\r\n"));
        QCOMPARE(EncodeMoveLog({}), QByteArray());
        QVERIFY(!IsLoggablePath(QStringLiteral("/a\nb")));
        QVERIFY(!IsLoggablePath(QStringLiteral("/a\rb")));
        QVERIFY(IsLoggablePath(QStringLiteral("/a b\t.jpg")));
    }

    // What the undo says about each pair, so a caller can name every file it
    // leaves in the defect folder and count only files that were there.
    void outcomeOfEachPair_data() {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<UndoOutcome>("outcome");
        QTest::addColumn<int>("waiting");
        QTest::newRow("moved back") << "plain" << UndoOutcome::Restored << 1;
        QTest::newRow("former path taken") << "taken" << UndoOutcome::FormerPathTaken << 1;
        QTest::newRow("former folder gone") << "folder gone" << UndoOutcome::FolderMissing << 1;
        QTest::newRow("never moved") << "not moved" << UndoOutcome::NotInDefectFolder << 0;
    }
    void outcomeOfEachPair() {
        QFETCH(QString, situation);
        QFETCH(UndoOutcome, outcome);
        QFETCH(int, waiting);
        fixtures::Tree tree;
        QVERIFY(tree.folder("pics"));
        if (situation != "not moved")
            QVERIFY(tree.file("work/Defekt/Defekt1_a.jpg", "moved"));
        if (situation == "taken")
            QVERIFY(tree.file("pics/a.jpg", "newer"));
        if (situation == "folder gone")
            QVERIFY(QDir(tree.path("pics")).removeRecursively());
        const QString former = tree.path("pics/a.jpg");
        const QString moved = tree.path("work/Defekt/Defekt1_a.jpg");
        QVERIFY(WriteMoveLog(tree.path("log.txt"), {former, moved}));
        QList<UndoOutcome> seen;
        UndoListener listener;
        listener.pairDone = [&](const QString& m, const QString& f, UndoOutcome o) {
            QCOMPARE(m, moved);
            QCOMPARE(f, former);
            seen.append(o);
        };
        const UndoResult result = UndoMoves(tree.path("log.txt"), listener);
        QCOMPARE(seen, QList<UndoOutcome>({outcome}));
        QCOMPARE(result.waiting, waiting);
        QCOMPARE(result.restored, outcome == UndoOutcome::Restored ? 1 : 0);
    }

    // A stop request ends the undo between two files: the files before it
    // are back, the others still in the defect folder, the log untouched.
    void stopsBetweenTwoFiles_data() {
        QTest::addColumn<int>("stopAfter");
        QTest::newRow("before the first") << 0;
        QTest::newRow("after the first") << 1;
        QTest::newRow("after the second") << 2;
        QTest::newRow("never") << 3;
    }
    void stopsBetweenTwoFiles() {
        QFETCH(int, stopAfter);
        fixtures::Tree tree;
        RecordingJobHost host;
        const QString log = moveThree(host, tree);
        const QByteArray logBefore = testing::readFile(log);
        int asked = 0;
        UndoListener listener;
        listener.stopRequested = [&] { return asked++ == stopAfter; };
        const UndoResult result = UndoLastMoveRun(host, listener);
        QCOMPARE(result.restored, stopAfter);
        QCOMPARE(result.stopped, stopAfter < 3);
        QCOMPARE(int(tree.names("work/Defekt").size()), 3 - stopAfter);
        QCOMPARE(testing::readFile(log), logBefore);
        QCOMPARE(host.busyDepth(), 0);
        // Run again, the rest comes back and nothing is counted twice.
        const UndoResult rest = UndoMoves(log);
        QCOMPARE(rest.restored, 3 - stopAfter);
        QCOMPARE(rest.waiting, 3 - stopAfter);
    }
};

KELVASTO_REGISTER_TEST(TestMoveUndo)
#include "test_move_undo.moc"
