// kelvasto-batch and the kept move runs: interrupted runs, earlier runs,
// two movers at once.

#include "cli/cli_test_case.h"
#include "common/jpeg_builder.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "jobs/defect_scan/mover_lock.h"
#include "settings/app_settings.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <csignal>

#include <unistd.h>

using cli::finish;
using cli::prepare;
using cli::runTool;
using cli::toolPath;
using cli::ToolRun;

namespace {

QByteArray truncated(int size) {
    return JpegBuilder().soi().scanData(size - 2).bytes();
}

int filesIn(const QString& folder) {
    return int(QDir(folder).entryList(QDir::Files).size());
}

// The ids `undo --list` prints, newest first.
QStringList listedIds(const QString& listing) {
    QStringList ids;
    for (const QString& line : listing.split('\n', Qt::SkipEmptyParts))
        ids.append(line.section(' ', 0, 0));
    return ids;
}

} // namespace

class TestUndoHistory : public CliTestCase {
    Q_OBJECT

    // Pictures of distinct bytes, a hundred to a folder.
    void makePictures(const QString& tree, int count) {
        for (int i = 0; i < count; ++i)
            QVERIFY(file(QStringLiteral("%1/d%2/f%3.jpg").arg(tree).arg(i / 100).arg(i),
                         truncated(40 + i)));
    }
    // Every picture is back at its own path with its own bytes.
    void verifyAllBack(const QString& tree, int count) {
        for (int i = 0; i < count; ++i) {
            const QString name = QStringLiteral("%1/d%2/f%3.jpg").arg(tree).arg(i / 100).arg(i);
            QVERIFY2(testing::readFile(path(name)) == truncated(40 + i), qPrintable(name));
        }
    }

private slots:
    void init() { QVERIFY(openSandbox(QStringLiteral("history"))); }
    void cleanup() { closeSandbox(); }

    // Ctrl-C part-way, then the same run again: the first part's pictures
    // used to stay in the defect folder without a record of their folders.
    void interruptedRunAgainThenUndoAll() {
        const int count = 1500;
        makePictures("pics", count);
        const QStringList scan = {"defects", "--recursive", "--move", path("pics")};
        QProcess process;
        prepare(process, {});
        process.start(toolPath(), scan);
        QVERIFY(process.waitForReadyRead(30000)); // the first moved file
        ::kill(pid_t(process.processId()), SIGINT);
        const ToolRun first = finish(process);
        QVERIFY2(first.exitCode == 130 || first.exitCode == 0, qPrintable(first.err));
        if (first.exitCode == 130) {
            QVERIFY2(first.err.contains("The search for damaged files was stopped."),
                     qPrintable(first.err));
            QVERIFY(!first.err.contains("ready"));
        }
        const ToolRun again = runTool(scan);
        QCOMPARE(again.exitCode, 0);
        QCOMPARE(filesIn(work() + "Defekt"), count);

        const ToolRun undo = runTool({"undo", "--all"});
        QCOMPARE(undo.exitCode, 0);
        QVERIFY2(undo.out.endsWith(QStringLiteral("%1 of %1 file(s) moved back\n").arg(count)),
                 qPrintable(undo.out.right(200)));
        verifyAllBack("pics", count);
        QCOMPARE(filesIn(work() + "Defekt"), 0);
        QCOMPARE(filesIn(work() + "Protokolle"), 0); // nothing left to keep
    }

    // Earlier runs are listed newest first and can be undone one by one; a
    // run that is not kept is an error.
    void listAndUndoOneRun() {
        makePictures("one", 3);
        makePictures("two", 2);
        QVERIFY(file("one/sound.jpg", JpegBuilder().soi().scanData(60).eoi().bytes()));
        QCOMPARE(runTool({"defects", "--recursive", "--move", path("one")}).exitCode, 0);
        QCOMPARE(runTool({"defects", "--recursive", "--move", path("two")}).exitCode, 0);
        // A copy run replaces the log, not the record of the runs before it.
        QCOMPARE(runTool({"defects", "--recursive", path("one")}).exitCode, 0);
        QCOMPARE(testing::readFile(work() + "Protokoll.txt"), QByteArray());

        const ToolRun list = runTool({"undo", "--list"});
        QCOMPARE(list.exitCode, 0);
        const QStringList lines = list.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines.at(0).contains("  2 moved, 2 still in the defect folder  " + path("two/")),
                 qPrintable(list.out));
        QVERIFY2(lines.at(1).contains("  3 moved, 3 still in the defect folder  " + path("one/")),
                 qPrintable(list.out));
        const QStringList ids = listedIds(list.out);
        QVERIFY(ids.at(0) > ids.at(1));

        const ToolRun older = runTool({"undo", "--run", ids.at(1)});
        QCOMPARE(older.exitCode, 0);
        verifyAllBack("one", 3);
        QCOMPARE(filesIn(path("two/d0")), 0);
        QCOMPARE(listedIds(runTool({"undo", "--list"}).out), QStringList{ids.at(0)});

        const ToolRun unknown = runTool({"undo", "--run", ids.at(1)});
        QCOMPARE(unknown.exitCode, 1);
        QVERIFY(unknown.err.contains("no kept move run " + ids.at(1)));
    }

    // A move after a copy run over the same tree used to find every name
    // taken by the copies, move nothing and exit 0.
    void moveAfterCopyMovesEveryFile() {
        makePictures("pics", 4);
        QCOMPARE(runTool({"defects", "--recursive", path("pics")}).exitCode, 0);
        const ToolRun move = runTool({"defects", "--recursive", "--move", path("pics")});
        QCOMPARE(move.exitCode, 0);
        QCOMPARE(move.out.count(" -> "), 4);
        QCOMPARE(filesIn(path("pics/d0")), 0);
        QCOMPARE(filesIn(work() + "Defekt"), 8);
        QCOMPARE(runTool({"undo"}).exitCode, 0);
        verifyAllBack("pics", 4);
    }

    // While another run holds the working folder, a move run and every undo
    // are refused with an exit status of their own, naming that run; a copy
    // run goes on.
    void secondMoverIsRefused_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("move run") << QStringList{"defects", "--move"} << 3;
        QTest::newRow("undo") << QStringList{"undo"} << 3;
        QTest::newRow("undo --all") << QStringList{"undo", "--all"} << 3;
        QTest::newRow("copy run") << QStringList{"defects"} << 0;
    }
    void secondMoverIsRefused() {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QVERIFY(file("pics/a.jpg", truncated(300)));
        if (args.first() == "defects")
            args << path("pics/a.jpg");
        else
            QCOMPARE(runTool({"defects", "--move", path("pics/a.jpg")}).exitCode, 0);
        const QStringList before = QDir(work() + "Defekt").entryList(QDir::Files);

        const MoverLock other = MoverLock::acquireIn(work());
        QVERIFY(other.state() == MoverLock::State::Held);
        const ToolRun run = runTool(args);

        QCOMPARE(run.exitCode, exitCode);
        if (exitCode == 3) {
            QVERIFY2(run.err.contains(QStringLiteral("(process %1 on ").arg(::getpid())),
                     qPrintable(run.err));
            QCOMPARE(QDir(work() + "Defekt").entryList(QDir::Files), before);
        } else {
            QVERIFY(exists("work/Defekt/Defekt1_a.jpg"));
        }
    }
};

KELVASTO_REGISTER_TEST(TestUndoHistory)
#include "test_undo_history.moc"
