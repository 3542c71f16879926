// kelvasto-batch dupes and empty-folders, run as a user runs them.

#include "cli/cli_test_case.h"
#include "common/duplicate_trees.h"
#include "common/test_env.h"
#include "common/test_registry.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

using cli::runTool;

class TestDuplicateJobs : public CliTestCase {
    Q_OBJECT
    QByteArray bytes(const QString& relative) const { return QFile::encodeName(path(relative)); }

    // a, b identical; c, d, e identical; f alone of its size; g of c's size.
    void writeTree() {
        QVERIFY(dupes::write(root(), {"t/a.jpg 300 A", "t/b.jpg 300 A", "t/c.jpg 500 C",
                                      "t/d.jpg 500 C", "t/e.jpg 500 C", "t/f.jpg 700 A",
                                      "t/g.jpg 500 G", "t/notes.txt 300 A"}));
    }

private slots:
    void init() { QVERIFY(openSandbox(QStringLiteral("dupes-cli"))); }
    void cleanup() { closeSandbox(); }

    void dupesPrintsGroupsAndCounters_data() {
        QTest::addColumn<bool>("null");
        QTest::newRow("lines") << false;
        QTest::newRow("--null") << true;
    }
    void dupesPrintsGroupsAndCounters() {
        QFETCH(bool, null);
        writeTree();
        QStringList args{"dupes", path("t")};
        if (null)
            args.insert(1, "-0");
        const cli::ToolRun run = runTool(args);
        QCOMPARE(run.exitCode, 0);
        const char end = null ? '\0' : '\n';
        QByteArray expected;
        for (const char* name : {"t/a.jpg", "t/b.jpg", "", "t/c.jpg", "t/e.jpg", "t/d.jpg", ""})
            expected += (*name ? bytes(name) : QByteArray()) + end;
        QCOMPARE(run.rawOut, expected);
        QVERIFY2(run.err.contains("Files To Test: 7\nPossible Duplicates: 6\nFound Duplicates: 3"),
                 qPrintable(run.err));
        QVERIFY(exists("t/b.jpg"));
    }

    void trashMarkedKeepsFirstOfEachGroup() {
        writeTree();
        const cli::ToolRun run = runTool({"dupes", "--trash-marked", path("t")});
        QCOMPARE(run.exitCode, 0);
        for (const char* gone : {"t/b.jpg", "t/d.jpg", "t/e.jpg"}) {
            QVERIFY2(!exists(gone), gone);
            // Each one named, so a script knows what went.
            QVERIFY2(run.err.contains("moved to the trash: " + path(gone) + '\n'),
                     qPrintable(run.err));
        }
        for (const char* kept : {"t/a.jpg", "t/c.jpg", "t/f.jpg", "t/g.jpg"})
            QVERIFY2(exists(kept), kept);
        QVERIFY(QFileInfo::exists(testing::dataHome() + "/Trash/files/b.jpg"));
    }

    void emptyFoldersDeepestFirst_data() {
        QTest::addColumn<bool>("trash");
        QTest::newRow("list") << false;
        QTest::newRow("--trash") << true;
    }
    void emptyFoldersDeepestFirst() {
        QFETCH(bool, trash);
        QVERIFY(QDir().mkpath(path("s/B")));
        QVERIFY(QDir().mkpath(path("s/D/E")));
        QVERIFY(testing::writeFile(path("s/C/x.jpg"), "12345"));
        QStringList args{"empty-folders", path("s")};
        if (trash)
            args.insert(1, "--trash");
        const cli::ToolRun run = runTool(args);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.rawOut, bytes("s/D/E") + '\n' + bytes("s/D") + '\n' + bytes("s/B") + '\n');
        QCOMPARE(!exists("s/D") && !exists("s/B"), trash);
        QVERIFY(exists("s/C/x.jpg"));
        QCOMPARE(run.err.count("moved to the trash: "), trash ? 3 : 0);
    }

    // Help and faults speak the language of the settings.
    void helpInTheProgramsLanguage() {
        const cli::ToolRun run = runTool({"empty-folders", "--help"});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.startsWith("Usage: kelvasto-batch empty-folders"));
    }

    void usageErrors_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("dupes without folder") << QStringList{"dupes"};
        QTest::newRow("dupes with two folders") << QStringList{"dupes", "@t", "@t"};
        QTest::newRow("dupes on a file") << QStringList{"dupes", "@t/a.jpg"};
        QTest::newRow("empty-folders without folder") << QStringList{"empty-folders"};
        QTest::newRow("unknown option") << QStringList{"dupes", "--frobnicate", "@t"};
    }
    void usageErrors() {
        QFETCH(QStringList, args);
        writeTree();
        for (QString& arg : args) // "@" marks a path in the test's folder
            if (arg.startsWith('@'))
                arg = path(arg.mid(1));
        const cli::ToolRun run = runTool(args);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.out.isEmpty());
        QVERIFY(exists("t/b.jpg"));
    }
};

KELVASTO_REGISTER_TEST(TestDuplicateJobs)
#include "test_duplicate_jobs.moc"
