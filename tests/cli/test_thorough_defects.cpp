// `kelvasto-batch defects --thorough` and `--why`, run as the user runs them.

#include "cli/cli_test_case.h"
#include "common/damaged_jpeg.h"
#include "common/picture_files_for_tests.h"
#include "common/test_env.h"
#include "common/test_registry.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

class TestThoroughDefects : public CliTestCase {
    Q_OBJECT

private slots:
    void init() {
        QVERIFY(openSandbox(QStringLiteral("cli-thorough")));
        QVERIFY(QDir().mkpath(path("pics")));
        testing::writePictureFile(path("pics/a_sound.jpg"), testing::photoLike(200, 150, 9));
        const QByteArray sound = testing::readFile(path("pics/a_sound.jpg"));
        QVERIFY(
            testing::writeFile(path("pics/b_damaged.jpg"), testing::jpegDamagedInTheMiddle(sound)));
        QVERIFY(testing::writeFile(path("pics/c_cut.jpg"), sound.left(sound.size() / 2)));
    }
    void cleanup() { closeSandbox(); }

    void reasonsAndDefects_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("expected"); // lines naming b_ or c_, in order
        QTest::newRow("plain") << QStringList{}
                               << QStringList{"c_cut.jpg -> work/Defekt/Defekt1_c_cut.jpg"};
        QTest::newRow("plain, why") << QStringList{"--why"}
                                    << QStringList{"c_cut.jpg: cut off (no end-of-image marker)",
                                                   "c_cut.jpg -> work/Defekt/Defekt1_c_cut.jpg"};
        QTest::newRow("thorough") << QStringList{"--thorough"}
                                  << QStringList{
                                         "b_damaged.jpg -> work/Defekt/Defekt1_b_damaged.jpg",
                                         "c_cut.jpg -> work/Defekt/Defekt2_c_cut.jpg"};
        QTest::newRow("thorough, why")
            << QStringList{"--why", "--thorough"}
            << QStringList{"b_damaged.jpg: damaged picture data: Corrupt JPEG data",
                           "b_damaged.jpg -> work/Defekt/Defekt1_b_damaged.jpg",
                           "c_cut.jpg: cut off (no end-of-image marker)",
                           "c_cut.jpg -> work/Defekt/Defekt2_c_cut.jpg"};
    }
    void reasonsAndDefects() {
        QFETCH(QStringList, options);
        QFETCH(QStringList, expected);
        const cli::ToolRun run = cli::runTool(QStringList{"defects", "--recursive"} + options +
                                              QStringList{path("pics")});
        QCOMPARE(run.exitCode, 0);
        QStringList named;
        for (QString line : run.out.split(QLatin1Char('\n'))) {
            if (!line.contains(QLatin1String("b_damaged")) &&
                !line.contains(QLatin1String("c_cut")))
                continue;
            line.replace(path("pics/"), QString()).replace(path(""), QString());
            // The decoder's own words after its first ones vary with libjpeg.
            const qsizetype corrupt = line.indexOf(QLatin1String("Corrupt JPEG data"));
            named << (corrupt < 0 ? line : line.left(corrupt + 17));
        }
        QCOMPARE(named, expected);
    }
};

KELVASTO_REGISTER_TEST(TestThoroughDefects)
#include "test_thorough_defects.moc"
