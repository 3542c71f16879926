// kelvasto-batch similar, run as a user runs it: the groups on stdout with
// the keeper first, -0, the files it names and its exit status, the trash,
// and wrong arguments.

#include "cli/cli_test_case.h"
#include "common/similar_scenes.h"
#include "common/test_env.h"
#include "common/test_registry.h"

#include <QFileInfo>
#include <QTest>

using cli::runTool;
using testing::Variant;

class TestSimilarJob : public CliTestCase {
    Q_OBJECT
    QByteArray bytes(const QString& relative) const { return QFile::encodeName(path(relative)); }

    // big.jpg and its half-size copy "small copy.jpg" (a name to quote), and
    // other.jpg of another scene.
    void writeTree() {
        const Picture scene = testing::scene(320, 224, 51);
        QVERIFY(testing::writeFile(path("t/big.jpg"), testing::jpegAt(scene, 90)));
        QVERIFY(testing::writeFile(path("t/sub/small copy.jpg"),
                                   testing::variantFile(scene, Variant::Half)));
        QVERIFY(testing::writeFile(path("t/other.jpg"),
                                   testing::jpegAt(testing::scene(320, 224, 52), 90)));
    }

private slots:
    void init() { QVERIFY(openSandbox(QStringLiteral("similar-cli"))); }
    void cleanup() { closeSandbox(); }

    void printsGroupsKeeperFirst_data() {
        QTest::addColumn<bool>("null");
        QTest::newRow("lines") << false;
        QTest::newRow("-0") << true;
    }
    void printsGroupsKeeperFirst() {
        QFETCH(bool, null);
        writeTree();
        QStringList args{"similar", "--recursive", path("t")};
        if (null)
            args.insert(1, "-0");
        const cli::ToolRun run = runTool(args);
        QCOMPARE(run.exitCode, 0);
        const QByteArray expected =
            null ? bytes("t/big.jpg") + '\0' + bytes("t/sub/small copy.jpg") + '\0' + '\0'
                 : bytes("t/big.jpg") + "\n'" + bytes("t/sub/small copy.jpg") + "'\n\n";
        QCOMPARE(run.rawOut, expected);
        QVERIFY(exists("t/sub/small copy.jpg"));
    }

    // Files as arguments, one unreadable: named with its reason, exit 1,
    // the others still grouped.
    void namesWhatItSkips() {
        writeTree();
        QVERIFY(testing::writeFile(path("t/broken.jpg"), "not a picture"));
        const cli::ToolRun run = runTool({"similar", path("t/other.jpg"), path("t/broken.jpg"),
                                          path("t/big.jpg"), path("t/sub/small copy.jpg")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(path("t/broken.jpg")), qPrintable(run.err));
        QVERIFY(run.rawOut.startsWith(bytes("t/big.jpg") + '\n'));
    }

    void trashMarkedKeepsTheKeeper() {
        writeTree();
        const cli::ToolRun run = runTool({"similar", "-r", "--trash-marked", path("t")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(exists("t/big.jpg"));
        QVERIFY(exists("t/other.jpg"));
        QVERIFY(!exists("t/sub/small copy.jpg"));
        QVERIFY(run.err.contains("small copy.jpg"));
        QVERIFY(QFileInfo::exists(testing::dataHome() + "/Trash/files/small copy.jpg"));
    }

    // A tight threshold is still a threshold: with 0 the copy stays apart.
    void thresholdAndSamePicture_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("groups");
        QTest::newRow("default") << QStringList{} << 1;
        QTest::newRow("threshold 0") << QStringList{"--threshold", "0"} << 0;
        QTest::newRow("same picture") << QStringList{"--same-picture"} << 0;
    }
    void thresholdAndSamePicture() {
        QFETCH(QStringList, options);
        QFETCH(int, groups);
        writeTree();
        const cli::ToolRun run =
            runTool(QStringList{"similar", "-r"} + options + QStringList{path("t")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(int(run.rawOut.count("\n\n")), groups);
    }

    void wrongArgumentsAreUsageErrors_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("threshold too high") << QStringList{"--threshold", "65"};
        QTest::newRow("threshold not a number") << QStringList{"--threshold", "many"};
        QTest::newRow("no path") << QStringList{};
        QTest::newRow("folder without --recursive") << QStringList{"@t"};
    }
    void wrongArgumentsAreUsageErrors() {
        QFETCH(QStringList, args);
        writeTree();
        for (QString& arg : args)
            if (arg.startsWith('@'))
                arg = path(arg.mid(1));
        const cli::ToolRun run = runTool(QStringList{"similar"} + args);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.out.isEmpty());
    }
};

KELVASTO_REGISTER_TEST(TestSimilarJob)
#include "test_similar_job.moc"
