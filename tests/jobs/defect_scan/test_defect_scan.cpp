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

namespace {

using namespace defect_scan_fixtures;

// A job that ends by an error in the middle of its loop.
class FailingHost : public RecordingJobHost {
public:
    void noteDefectiveFile(const QString& from, const QString& to,
                           DefectTransfer outcome) override {
        RecordingJobHost::noteDefectiveFile(from, to, outcome);
        if (defectNotes().size() == 2)
            throw KelvastoError("disk on fire");
    }
};

} // namespace

class TestDefectScan : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(10000); }
    void cleanup() { SetLanguageOffset(0); }

    void defectNames_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("collected");
        QTest::addColumn<QString>("expected");
        QTest::newRow("1234 collected") << 3 << 1234 << "Defekt0003_IMG_7.jpg";
        QTest::newRow("9 collected") << 3 << 9 << "Defekt3_IMG_7.jpg";
        QTest::newRow("10 collected") << 10 << 10 << "Defekt10_IMG_7.jpg";
    }
    void defectNames() {
        QFETCH(int, number);
        QFETCH(int, collected);
        QFETCH(QString, expected);
        const int width = int(QString::number(collected).size());
        QCOMPARE(DefectFileName(number, width, QStringLiteral("/x/y/IMG_7.jpg")), expected);
    }

    void defectFolderFollowsDestinationOrWorkingFolder() {
        AppSettings settings;
        settings.Arbeitsverzeichnis = QStringLiteral("/work/");
        QCOMPARE(DefectFolderFor(settings, QString()), QStringLiteral("/work/Defekt/"));
        QCOMPARE(DefectFolderFor(settings, QStringLiteral("/dest")),
                 QStringLiteral("/dest/Defekt/"));
        QCOMPARE(DefectFolderFor(settings, QStringLiteral("/dest/")),
                 QStringLiteral("/dest/Defekt/"));
    }

    void copyRunNumbersFilesAndSetsEveryCounter() {
        fixtures::Tree tree;
        RecordingJobHost host;
        useWorkingFolder(host, tree);
        for (int i = 0; i < 12; ++i)
            QVERIFY(tree.file(QStringLiteral("pics/p%1.jpg").arg(i, 2, 10, QLatin1Char('0')),
                              i % 4 == 1 ? fixtures::truncatedJpeg() : fixtures::soundJpeg()));
        QVERIFY(tree.file("pics/sub/q.jpeg", fixtures::truncatedJpeg(500)));
        QVERIFY(tree.file("work/Protokoll.txt", "an older log\r\n"));
        host.setSelectedFolder(tree.path("pics/"));

        const DefectScanResult result = ScanDefectiveJpegs(host, recursive(), &host);

        QCOMPARE(result.defectFolder, tree.path("work/Defekt/"));
        QCOMPARE(result.collected, 13);
        QCOMPARE(result.tested, 13);
        QCOMPARE(result.defective, 4);
        QCOMPARE(tree.names("work/Defekt"), QStringList({"Defekt01_p01.jpg", "Defekt02_p05.jpg",
                                                         "Defekt03_p09.jpg", "Defekt04_q.jpeg"}));
        QCOMPARE(tree.read("work/Defekt/Defekt04_q.jpeg"), fixtures::truncatedJpeg(500));
        QVERIFY(tree.exists("pics/p01.jpg"));
        QCOMPARE(host.text(kDefectScanControls.defectsFound), QStringLiteral("4"));
        QCOMPARE(host.text(kDefectScanControls.progress.total), QStringLiteral("13"));
        QCOMPARE(host.text(kDefectScanControls.progress.done), QStringLiteral("13"));
        QCOMPARE(host.textHistory(kDefectScanControls.progress.done).first(), QStringLiteral("0"));
        QCOMPARE(host.progressMaximum(kDefectScanControls.progress.bar), 13);
        QCOMPARE(host.progressValue(kDefectScanControls.progress.bar), 13);
        QCOMPARE(host.messages().size(), 1);
        QCOMPARE(host.messages().at(0).text, QStringLiteral("Search for damaged files ready."));
        QCOMPARE(host.messages().at(0).kind, MessageKind::Information);
        QCOMPARE(host.messages().at(0).buttons, ButtonBit(DialogButton::OK));
        QCOMPARE(host.lockCalls().size(), 2);
        QCOMPARE(host.lockCalls().at(0).kind, JobKind::DefectScan);
        QVERIFY(host.lockBalanced());
        QCOMPARE(host.busyDepth(), 0);
        QCOMPARE(host.refreshCount(), 1);
        QCOMPARE(host.watchersStarted(), 1);
        QCOMPARE(host.watchersStopped(), 1);
        QCOMPARE(host.undoPreparations(), QList<bool>({false}));
        QVERIFY(result.logWritten);
        QCOMPARE(tree.read("work/Protokoll.txt"), QByteArray()); // empty after a copy run
    }

    void sameNameFromTwoFoldersAndCopyTwice() {
        fixtures::Tree tree;
        RecordingJobHost host;
        useWorkingFolder(host, tree);
        QVERIFY(tree.file("pics/a/IMG.jpg", fixtures::truncatedJpeg(300)));
        QVERIFY(tree.file("pics/b/IMG.jpg", fixtures::truncatedJpeg(400)));
        host.setSelectedFolder(tree.path("pics/"));
        QCOMPARE(ScanDefectiveJpegs(host, recursive(), &host).defective, 2);
        QCOMPARE(tree.names("work/Defekt"), QStringList({"Defekt1_IMG.jpg", "Defekt2_IMG.jpg"}));
        QCOMPARE(tree.read("work/Defekt/Defekt2_IMG.jpg").size(), 400);

        // The second run finds b's copy; a's was replaced by other bytes, so
        // a gets a new copy under a free number, and nothing is overwritten.
        QVERIFY(testing::writeFile(tree.path("work/Defekt/Defekt1_IMG.jpg"), "first copy"));
        const DefectScanResult again = ScanDefectiveJpegs(host, recursive(), &host);
        QCOMPARE(again.defective, 2);
        QCOMPARE(again.transferred, 1);
        QCOMPARE(again.alreadyThere, 1);
        QCOMPARE(again.leftInPlace(), 0);
        QCOMPARE(host.text(kDefectScanControls.defectsFound), QStringLiteral("2"));
        QCOMPARE(tree.read("work/Defekt/Defekt1_IMG.jpg"), QByteArray("first copy"));
        QCOMPARE(tree.read("work/Defekt/Defekt3_IMG.jpg").size(), 300);
        QCOMPARE(tree.names("work/Defekt").size(), 3);
    }

    void unreadableFilesAreReported() {
        fixtures::Tree tree;
        fixtures::SkipRecordingHost host;
        useWorkingFolder(host, tree);
        QVERIFY(tree.file("a.jpg", fixtures::truncatedJpeg()));
        QVERIFY(tree.fifo("fifo.jpg"));
        host.setSelectedFiles(
            {tree.path("vanished.jpg"), tree.path("a.jpg"), tree.path("fifo.jpg")});
        const DefectScanResult result = ScanDefectiveJpegs(host, DefectScanOptions{}, &host);
        QCOMPARE(result.unreadable, 2);
        QCOMPARE(result.defective, 1);
        QCOMPARE(host.skippedPaths(),
                 QStringList({tree.path("vanished.jpg"), tree.path("fifo.jpg")}));
        QVERIFY2(host.skips().at(0).reason.startsWith("file cannot be read ("),
                 qPrintable(host.skips().at(0).reason));
        QCOMPARE(host.skips().at(1).reason, QStringLiteral("not a regular file"));
    }

    // The tester runs ahead of the moves; a file the run moved away before
    // its second turn in the list must be found gone, as a test in turn
    // finds it, not defective a second time.
    void sameFileTwiceInTheSelection_data() {
        QTest::addColumn<bool>("move");
        QTest::addColumn<int>("unreadable");
        QTest::addColumn<QStringList>("inDefectFolder");
        QTest::newRow("move") << true << 1 << QStringList({"Defekt1_a.jpg"});
        QTest::newRow("copy") << false << 0 << QStringList({"Defekt1_a.jpg", "Defekt2_a.jpg"});
    }
    void sameFileTwiceInTheSelection() {
        QFETCH(bool, move);
        QFETCH(int, unreadable);
        QFETCH(QStringList, inDefectFolder);
        fixtures::Tree tree;
        fixtures::SkipRecordingHost host;
        useWorkingFolder(host, tree);
        QVERIFY(tree.file("a.jpg", fixtures::truncatedJpeg()));
        host.setSelectedFiles({tree.path("a.jpg"), tree.path("a.jpg")});
        const DefectScanResult result =
            ScanDefectiveJpegs(host, DefectScanOptions{false, move, {}, {}}, &host);
        QCOMPARE(result.defective, 2 - unreadable);
        QCOMPARE(result.unreadable, unreadable);
        QCOMPARE(result.transferred, 2 - unreadable);
        QCOMPARE(host.skippedPaths().size(), unreadable);
        QCOMPARE(tree.names("work/Defekt"), inDefectFolder);
    }

    // A tree deeper than the system's path limit is collected, tested and
    // moved like any other, and the undo brings its file back.
    void treeDeeperThanThePathLimit() {
        fixtures::Tree tree;
        fixtures::SkipRecordingHost host;
        useWorkingFolder(host, tree);
        QVERIFY(tree.folder("pics"));
        fixtures::DeepFolder deep(tree.path("pics/"), 36, 130);
        QVERIFY(deep.valid());
        QVERIFY(deep.write("cut.jpg", fixtures::truncatedJpeg(3000)));
        QVERIFY(deep.write("sound.jpg", fixtures::soundJpeg(3000)));
        QVERIFY(tree.file("pics/top.jpg", fixtures::truncatedJpeg()));
        host.setSelectedFolder(tree.path("pics/"));

        const DefectScanResult result = ScanDefectiveJpegs(host, recursive(true), &host);

        QCOMPARE(result.collected, 3);
        QCOMPARE(host.lists().AlteDateinamen.at(0), tree.path("pics/top.jpg"));
        QCOMPARE(host.lists().AlteDateinamen.at(1), deep.path() + "cut.jpg");
        QCOMPARE(result.unreadable, 0);
        QCOMPARE(result.defective, 2);
        QCOMPARE(result.transferred, 2);
        QVERIFY(host.skips().isEmpty());
        QVERIFY(!deep.exists("cut.jpg"));
        QCOMPARE(tree.read("work/Defekt/Defekt2_cut.jpg"), fixtures::truncatedJpeg(3000));

        QCOMPARE(UndoMoves(logPath(host)).restored, 2);
        QVERIFY(deep.exists("cut.jpg"));
    }

    void destinationFieldChoosesTheFolder() {
        fixtures::Tree tree;
        RecordingJobHost host;
        useWorkingFolder(host, tree);
        QVERIFY(tree.file("pics/a.jpg", fixtures::truncatedJpeg()));
        host.setSelectedFiles({tree.path("pics/a.jpg")});
        DefectScanOptions options;
        options.destination = tree.path("elsewhere");
        const DefectScanResult result = ScanDefectiveJpegs(host, options, &host);
        QCOMPARE(result.defectFolder, tree.path("elsewhere/Defekt/"));
        QVERIFY(tree.exists("elsewhere/Defekt/Defekt1_a.jpg"));
    }

    void emptyWorkListShowsMessage9000Only() {
        fixtures::Tree tree;
        RecordingJobHost host;
        useWorkingFolder(host, tree);
        QVERIFY(tree.file("work/Protokoll.txt", "kept\r\n"));
        host.setSelectedFiles({});
        const DefectScanResult result = ScanDefectiveJpegs(host, DefectScanOptions{}, &host);
        host.setSelectedFolder(QString());
        QVERIFY(ScanDefectiveJpegs(host, recursive(), &host).nothingToTest);
        QVERIFY(result.nothingToTest);
        QCOMPARE(host.messages().size(), 2);
        QCOMPARE(host.messages().at(0).text, QStringLiteral("No file marked yet !"));
        QCOMPARE(host.messages().at(0).kind, MessageKind::Information);
        QCOMPARE(host.watchersStopped(), 2);
        QVERIFY(host.lockBalanced());
        QCOMPARE(host.busyDepth(), 0);
        QVERIFY(host.undoPreparations().isEmpty());
        QCOMPARE(tree.read("work/Protokoll.txt"), QByteArray("kept\r\n"));
    }

    void stopAfterTenOfHundred() {
        fixtures::Tree tree;
        RecordingJobHost host;
        useWorkingFolder(host, tree);
        for (int i = 0; i < 100; ++i)
            QVERIFY(tree.file(QStringLiteral("pics/f%1.jpg").arg(i, 3, 10, QLatin1Char('0')),
                              i % 3 == 0 ? fixtures::truncatedJpeg() : fixtures::soundJpeg()));
        host.setSelectedFolder(tree.path("pics/"));
        host.onProcessPendingMessages([&](int call) {
            if (call == 1)
                host.stopFlags().JpegJobStop = 1; // during collection: cleared by the job
            if (host.text(kDefectScanControls.progress.done) == QLatin1String("10"))
                host.stopFlags().JpegJobStop = 1;
        });
        const DefectScanResult result = ScanDefectiveJpegs(host, recursive(true), &host);
        QVERIFY(result.stopped);
        QCOMPARE(result.tested, 10);
        QCOMPARE(host.text(kDefectScanControls.progress.done), QStringLiteral("10"));
        QCOMPARE(host.text(kDefectScanControls.defectsFound),
                 QStringLiteral("4")); // f000 f003 f006 f009
        QCOMPARE(host.text(kDefectScanControls.progress.total), QStringLiteral("100"));
        // A stopped scan must not claim it finished: the user would trust the result.
        QCOMPARE(host.messages().last().text,
                 QStringLiteral("The search for damaged files was stopped."));
        QCOMPARE(ReadMoveLog(logPath(host)).lines.size(), 8);
        QCOMPARE(host.undoPreparations(), QList<bool>({true}));
    }

    void unreadableFileInTheMiddleDoesNotEndTheRun() {
        fixtures::Tree tree;
        RecordingJobHost host;
        useWorkingFolder(host, tree);
        QVERIFY(tree.file("a.jpg", fixtures::truncatedJpeg()));
        QVERIFY(tree.folder("not-a-file.jpg"));
        QVERIFY(tree.file("c.jpg", fixtures::truncatedJpeg()));
        host.setSelectedFiles({tree.path("a.jpg"), tree.path("vanished.jpg"), tree.path("c.jpg")});
        const DefectScanResult result =
            ScanDefectiveJpegs(host, DefectScanOptions{false, true, {}, {}}, &host);
        QCOMPARE(result.tested, 3);
        QCOMPARE(result.unreadable, 1);
        QCOMPARE(result.defective, 2);
        QCOMPARE(tree.names("work/Defekt"), QStringList({"Defekt1_a.jpg", "Defekt2_c.jpg"}));
        QCOMPARE(ReadMoveLog(logPath(host)).lines.size(), 4);
        QCOMPARE(host.messages().size(), 1);
    }

    void errorMidRunStillWritesTheLogAndUnlocks() {
        fixtures::Tree tree;
        FailingHost host;
        useWorkingFolder(host, tree);
        for (int i = 0; i < 4; ++i)
            QVERIFY(tree.file(QStringLiteral("pics/f%1.jpg").arg(i), fixtures::truncatedJpeg()));
        QVERIFY(tree.file("work/Protokoll.txt", "older run\r\n"));
        host.setSelectedFolder(tree.path("pics/"));
        QVERIFY_THROWS_EXCEPTION(KelvastoError, ScanDefectiveJpegs(host, recursive(true), &host));
        QCOMPARE(ReadMoveLog(logPath(host)).lines,
                 QStringList({tree.path("pics/f0.jpg"), tree.path("work/Defekt/Defekt1_f0.jpg"),
                              tree.path("pics/f1.jpg"), tree.path("work/Defekt/Defekt2_f1.jpg")}));
        QCOMPARE(host.undoPreparations(), QList<bool>({true}));
        QVERIFY(host.lockBalanced());
        QCOMPARE(host.busyDepth(), 0);
        QVERIFY(host.messages().isEmpty());
    }

    void lineBreakNamesAreNotMoved_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("line feed") << QStringLiteral("bad\nname.jpg");
        QTest::newRow("carriage return") << QStringLiteral("bad\rname.jpg");
    }
    void lineBreakNamesAreNotMoved() {
        QFETCH(QString, name);
        fixtures::Tree tree;
        RecordingJobHost host;
        useWorkingFolder(host, tree);
        QVERIFY(tree.file("pics/" + name, fixtures::truncatedJpeg()));
        QVERIFY(tree.file("pics/good.jpg", fixtures::truncatedJpeg()));
        host.setSelectedFolder(tree.path("pics/"));
        const DefectScanResult result = ScanDefectiveJpegs(host, recursive(true), &host);
        QCOMPARE(result.defective, 2);
        QCOMPARE(result.unsafeNames, 1);
        QVERIFY(tree.exists("pics/" + name));
        QVERIFY(!tree.exists("pics/good.jpg"));
        QCOMPARE(ReadMoveLog(logPath(host)).lines.size(), 2);

        QCOMPARE(UndoMoves(logPath(host)).restored, 1);
        QVERIFY(tree.exists("pics/good.jpg"));
        QVERIFY(tree.exists("pics/" + name));
    }

    void watcherRunsDuringCollectionOnly() {
        fixtures::Tree tree;
        RecordingJobHost host;
        host.setRealWatchers(true);
        useWorkingFolder(host, tree);
        QVERIFY(tree.file("pics/a.jpg", fixtures::soundJpeg()));
        host.setSelectedFolder(tree.path("pics/"));
        ScanDefectiveJpegs(host, recursive(), &host);
        QCOMPARE(host.watchersStarted(), 1);
        QCOMPARE(host.watchersStopped(), 1);
    }

    void deletionKeepsOtherNames() {
        fixtures::Tree tree;
        RecordingJobHost host;
        useWorkingFolder(host, tree);
        for (const char* name : {"Defekt.jpg", "photo.jpg", "Defekt1_a.jpg", "defekt1_b.jpg",
                                 "sub/Defekt2_c.jpeg", "Defekt3_d.txt"})
            QVERIFY(tree.file(QStringLiteral("work/Defekt/") + QLatin1String(name), "x"));

        QCOMPARE(DeleteDefectiveFiles(host, QString()), tree.path("work/Defekt/"));
        QCOMPARE(host.messages().size(), 1); // closed by its close box: nothing deleted
        QCOMPARE(host.messages().at(0).text,
                 QStringLiteral("Do you really want to delete the files ?"));
        QCOMPARE(host.messages().at(0).kind, MessageKind::Warning);
        QCOMPARE(host.messages().at(0).buttons, DialogButton::OK | DialogButton::Abort);
        QCOMPARE(tree.names("work/Defekt").size(), 5);

        host.queueAnswer(DialogResult::OK);
        DeleteDefectiveFiles(host, QString());
        QCOMPARE(tree.names("work/Defekt"),
                 QStringList({"Defekt.jpg", "Defekt3_d.txt", "defekt1_b.jpg", "photo.jpg"}));
        QVERIFY(!tree.exists("work/Defekt/sub/Defekt2_c.jpeg"));
        QCOMPARE(host.busyDepth(), 0);
    }

    void deletionOfAnEmptyFolderAsksNothing() {
        fixtures::Tree tree;
        RecordingJobHost host;
        useWorkingFolder(host, tree);
        DeleteDefectiveFiles(host, tree.path("nothing-here"));
        QVERIFY(host.messages().isEmpty());
    }

    // Started from a build folder, the program's folder is deleted by the
    // next clean: files without a destination go to the per-user data folder.
    void noDestinationStaysOutOfTheProgramFolder_data() {
        QTest::addColumn<bool>("move");
        QTest::newRow("move") << true;
        QTest::newRow("copy") << false;
    }
    void noDestinationStaysOutOfTheProgramFolder() {
        QFETCH(bool, move);
        testing::resetHive();
        fixtures::Tree tree;
        QVERIFY(tree.file("pics/a.jpg", fixtures::truncatedJpeg()));
        RecordingJobHost host;
        host.settings() = LoadSettings();
        host.setSelectedFolder(tree.path("pics/"));
        const QString data = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Kelvasto/");
        QDir(data + QStringLiteral("Defekt")).removeRecursively();
        QDir(data + QStringLiteral("Protokolle")).removeRecursively();

        const DefectScanResult result = ScanDefectiveJpegs(host, recursive(move), &host);

        QCOMPARE(result.defectFolder, data + QStringLiteral("Defekt/"));
        QCOMPARE(result.transferred, 1);
        QVERIFY(QFile::exists(data + QStringLiteral("Defekt/Defekt1_a.jpg")));
        QCOMPARE(tree.exists("pics/a.jpg"), !move);
        QVERIFY(result.logWritten);
        QCOMPARE(ReadMoveLog(data + QStringLiteral("Protokoll.txt")).lines.size(), move ? 2 : 0);
        const QString program = QCoreApplication::applicationDirPath();
        QVERIFY(!QFileInfo::exists(program + QStringLiteral("/Defekt")));
        QVERIFY(!QFileInfo::exists(program + QStringLiteral("/Protokoll.txt")));
    }

    void destinationChooserStart_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("openChooser");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "" << true << "";
        QTest::newRow("existing") << "TREE/dest/" << true << "TREE/dest/";
        QTest::newRow("gone") << "TREE/dest/gone/deeper" << true << "TREE/dest/";
        QTest::newRow("not ready") << "relative/dest" << false << "HOME";
    }
    void destinationChooserStart() {
        QFETCH(QString, field);
        QFETCH(bool, openChooser);
        QFETCH(QString, text);
        fixtures::Tree tree;
        QVERIFY(tree.folder("dest"));
        const QString root = tree.root().chopped(1);
        const QString home = QStringLiteral("/home/someone/");
        field.replace(QLatin1String("TREE"), root);
        text.replace(QLatin1String("TREE"), root).replace(QLatin1String("HOME"), home);
        const DestinationStart start = DestinationChooserStart(field, home);
        QCOMPARE(start.openChooser, openChooser);
        QCOMPARE(start.text, text);
    }
};

KELVASTO_REGISTER_TEST(TestDefectScan)
#include "test_defect_scan.moc"
