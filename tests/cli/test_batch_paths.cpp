#include "cli/batch_job.h"
#include "cli/cli_test_case.h"
#include "common/jpeg_builder.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "fs/shell_quote.h"
#include "i18n/own_texts.h"
#include "jobs/defect_scan/move_log.h"
#include "settings/app_settings.h"
#include "settings/hive_store.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <csignal>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using cli::finish;
using cli::Launch;
using cli::prepare;
using cli::runTool;
using cli::runToolScript;
using cli::toolPath;
using cli::ToolRun;
namespace {

QByteArray truncated(int size = 300) {
    return JpegBuilder().soi().scanData(size - 2).bytes();
}

} // namespace

// The paths the tool is given: links, the same file twice, names that are not
// UTF-8, entries it cannot read.
class TestBatchPaths : public CliTestCase {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(QFileInfo(toolPath()).isExecutable(), qPrintable(toolPath())); }

    void init() { QVERIFY(openSandbox(QStringLiteral("cli"))); }
    void cleanup() { closeSandbox(); }

    void pathsThroughASymlinkedFolder_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("gone");
        QTest::addColumn<QStringList>("present");
        QTest::newRow("file behind L/..")
            << QStringList{"defects", "--move", "L/../x.jpg"} << QStringList{"elsewhere/x.jpg"}
            << QStringList{"x.jpg", "work/Defekt/Defekt1_x.jpg"};
        QTest::newRow("tree L/..")
            << QStringList{"defects", "-r", "--move", "L/.."} << QStringList{"elsewhere/x.jpg"}
            << QStringList{"x.jpg", "work/Defekt/Defekt1_x.jpg"};
        QTest::newRow("dest L/..")
            << QStringList{"defects", "--dest", "L/..", "x.jpg"} << QStringList{"Defekt"}
            << QStringList{"x.jpg", "elsewhere/x.jpg", "elsewhere/Defekt/Defekt1_x.jpg"};
    }
    void pathsThroughASymlinkedFolder() {
        QFETCH(QStringList, args);
        QFETCH(QStringList, gone);
        QFETCH(QStringList, present);
        QVERIFY(file("x.jpg", truncated(301)));
        QVERIFY(file("elsewhere/x.jpg", truncated(302)));
        QVERIFY(QDir().mkpath(path("elsewhere/sub")));
        QVERIFY(QFile::link(path("elsewhere/sub"), path("L")));
        Launch launch;
        launch.workingFolder = root();
        const ToolRun run = runTool(args, launch);
        QCOMPARE(run.exitCode, 0);
        for (const QString& name : gone)
            QVERIFY2(!exists(name), qPrintable(name));
        for (const QString& name : present)
            QVERIFY2(exists(name), qPrintable(name));
        QCOMPARE(testing::readFile(path("x.jpg")).size(), 301);
        // The line names the file acted on, by its real path.
        QVERIFY2(run.out.startsWith(path("elsewhere/x.jpg") + " -> ") ||
                     run.out.startsWith(path("x.jpg") + " -> " + path("elsewhere/Defekt/")),
                 qPrintable(run.out));
    }

    // A link named as a file is neither tested nor moved; the run says so.
    void symbolicLinkArgumentIsSkippedAndNamed() {
        QVERIFY(file("pics/a.jpg", truncated()));
        QVERIFY(file("pics/b.jpg", truncated()));
        QVERIFY(QFile::link(path("pics/a.jpg"), path("pics/link.jpg")));
        const ToolRun run =
            runTool({"defects", "--move", path("pics/link.jpg"), path("pics/b.jpg")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("skipped: " + path("pics/link.jpg") + ": a symbolic link"),
                 qPrintable(run.err));
        QVERIFY(run.err.contains("skipped or unreadable (named above): 1\n"));
        QVERIFY(QFileInfo(path("pics/link.jpg")).isSymLink());
        QVERIFY(exists("pics/a.jpg"));
        QVERIFY(!exists("pics/b.jpg"));
        QCOMPARE(ReadMoveLog(work() + "Protokoll.txt").lines,
                 QStringList({path("pics/b.jpg"), work() + "Defekt/Defekt1_b.jpg"}));
    }

    void sameFileTestedOnce_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("tested");
        QTest::newRow("twice the same") << QStringList{"defects", "a.jpg", "a.jpg"} << 1;
        QTest::newRow("relative and absolute")
            << QStringList{"defects", "a.jpg", "PICS/a.jpg", "./a.jpg"} << 1;
        QTest::newRow("through dot-dot") << QStringList{"defects", "a.jpg", "sub/../a.jpg"} << 1;
        QTest::newRow("two files") << QStringList{"defects", "a.jpg", "sub/c.jpg", "a.jpg"} << 2;
        QTest::newRow("folder inside another")
            << QStringList{"defects", "-r", "PICS/sub", "PICS"} << 3;
        QTest::newRow("same folder twice") << QStringList{"defects", "-r", ".", "PICS/"} << 3;
        QTest::newRow("hidden folder below another")
            << QStringList{"defects", "-r", "PICS", "PICS/.hidden"} << 4;
    }
    void sameFileTestedOnce() {
        QFETCH(QStringList, args);
        QFETCH(int, tested);
        QVERIFY(file("pics/a.jpg", truncated()));
        QVERIFY(file("pics/sub/c.jpg", truncated()));
        QVERIFY(file("pics/sub/d.jpg", truncated()));
        QVERIFY(file("pics/.hidden/e.jpg", truncated()));
        args.replaceInStrings("PICS", path("pics"));
        Launch launch;
        launch.workingFolder = path("pics");
        const ToolRun run = runTool(args, launch);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains(QStringLiteral("Tested Files: %1\n").arg(tested)),
                 qPrintable(run.out));
        QCOMPARE(int(QDir(work() + "Defekt").entryList(QDir::Files).size()), tested);
    }

    // A name that is not UTF-8 reaches the tool byte for byte: it is found
    // and named as it is, never reported missing under a mangled name.
    void nameNotUtf8IsTakenByteForByte_data() {
        QTest::addColumn<bool>("create");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("existing") << true << 1 << "'$'\\377''.jpg': the name is not valid UTF-8";
        QTest::newRow("missing") << false << 1 << "'$'\\377''.jpg' does not exist.";
    }
    void nameNotUtf8IsTakenByteForByte() {
        QFETCH(bool, create);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QVERIFY(file("pics/b.jpg", truncated()));
        const QByteArray name = QFile::encodeName(path("pics/")) + "\xff.jpg";
        if (create) {
            const int fd = ::open(name.constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
            QVERIFY(fd >= 0);
            ::close(fd);
        }
        Launch launch;
        launch.workingFolder = path("pics");
        const ToolRun run = runToolScript(
            QStringLiteral("exec \"$0\" defects b.jpg \"$(printf '\\377.jpg')\""), launch);
        ::unlink(name.constData()); // Qt cannot remove it with the folder
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        if (create) // the other file is still tested
            QVERIFY(run.out.contains("Tested Files: 1"));
    }

    // Nothing is left out silently: each entry is named with its reason, the
    // summary counts them and the exit status is 1.
    void unreadableEntriesAreNamed_data() {
        QTest::addColumn<QString>("locked");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<int>("tested");
        QTest::newRow("folder") << "pics/locked/"
                                << "folder cannot be listed" << 1;
        QTest::newRow("file") << "pics/locked.jpg"
                              << "file cannot be read" << 2;
    }
    void unreadableEntriesAreNamed() {
        QFETCH(QString, locked);
        QFETCH(QString, reason);
        QFETCH(int, tested);
        QVERIFY(file("pics/b.jpg", truncated()));
        if (locked.endsWith('/'))
            QVERIFY(file(locked + "inside.jpg", truncated()));
        else
            QVERIFY(file(locked, truncated()));
        QVERIFY(::chmod(QFile::encodeName(path(locked)).constData(), 0) == 0);
        Launch launch;
        launch.dropFileAccessOverride = true;
        const ToolRun run = runTool({"defects", "-r", path("pics")}, launch);
        ::chmod(QFile::encodeName(path(locked)).constData(), 0700);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("skipped: " + path(locked) + ": " + reason), qPrintable(run.err));
        QVERIFY(run.err.contains("skipped or unreadable (named above): 1\n"));
        QVERIFY(run.out.contains(QStringLiteral("Tested Files: %1\n").arg(tested)));
        QVERIFY(exists("work/Defekt/Defekt1_b.jpg"));
    }

    // Undo honours SIGTERM between two files: every file is either back or
    // still in the defect folder, and a second undo moves back the rest.
};

KELVASTO_REGISTER_TEST(TestBatchPaths)
#include "test_batch_paths.moc"
