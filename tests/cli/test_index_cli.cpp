// kelvasto-batch index and thumbs, run as the user runs them.

#include "cli/cli_test_case.h"
#include "common/jpeg_builder.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "imaging/picture_files.h"

#include <QDir>
#include <QTest>

using cli::runTool;
using cli::ToolRun;

class TestIndexCli : public CliTestCase {
    Q_OBJECT
    void photos(const QStringList& names) {
        for (const QString& name : names)
            QVERIFY(testing::writeFile(path(name), JpegBuilder::picture(640, 480, 30, 90, 200)));
    }
    QSize sizeOf(const QString& relative) const {
        const Picture picture = LoadJpegFile(path(relative));
        return {picture.width(), picture.height()};
    }

private slots:
    void init() { QVERIFY(openSandbox(QStringLiteral("cli"), false)); }
    void cleanup() { closeSandbox(); }

    void indexSheetsUnderAStem() {
        photos({"in/a.jpg", "in/b.jpg", "in/c.jpeg"});
        const ToolRun run = runTool({"index", "--recursive", "--per-sheet", "2", "--per-row", "2",
                                     "--stem", "urlaub", path("in")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains("index sheets written: 2"), qPrintable(run.out));
        QCOMPARE(sizeOf("in/urlaub_1.jpeg"), QSize(220, 110));
        QCOMPARE(sizeOf("in/urlaub_2.jpeg"), QSize(220, 110));
    }

    void indexSheetsBySeries_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("sheets");
        QTest::newRow("all letters")
            << QStringList{"--series", "all-letters"} << QStringList{"Urlaub_1.jpeg"};
        QTest::newRow("prefix, sub-folder")
            << QStringList{"--series", "all-letters", "--prefix", "i-", "--subfolder", "Index"}
            << QStringList{"Index/i-Urlaub_1.jpeg"};
        QTest::newRow("first characters")
            << QStringList{"--series", "first-chars:3"} << QStringList{"Url_1.jpeg"};
    }
    void indexSheetsBySeries() {
        QFETCH(QStringList, args);
        QFETCH(QStringList, sheets);
        photos({"in/Urlaub01.jpg", "in/Urlaub02.jpg", "in/Urlaub03.jpg", "in/Zoo1.jpg"});
        const QStringList files{path("in/Urlaub01.jpg"), path("in/Urlaub02.jpg"),
                                path("in/Urlaub03.jpg"), path("in/Zoo1.jpg")};
        const ToolRun run = runTool(QStringList{"index"} + args + files);
        QCOMPARE(run.exitCode, 0);
        for (const QString& sheet : sheets)
            QCOMPARE(sizeOf("in/" + sheet), QSize(770, 660));
    }

    // What index --help promises about the sheets' names holds for a run: it
    // used to promise NAME_01.jpeg where a few files give NAME_1.jpeg.
    void helpNamesTheSheetsARunWrites_data() {
        QTest::addColumn<int>("files");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("promise");
        QTest::addColumn<QStringList>("sheets");
        QTest::newRow("stem, 5 files")
            << 5 << QStringList{"--stem", "s"} << "5 files _1" << QStringList{"s_1.jpeg"};
        QTest::newRow("stem, 45 files")
            << 45 << QStringList{"--stem", "s"} << "45 files give _01 and _02"
            << QStringList{"s_01.jpeg", "s_02.jpeg"};
        QTest::newRow("series, prefix and postfix")
            << 3 << QStringList{"--series", "all-letters", "--prefix", "P", "--postfix", "Q"}
            << "P<series name>Q_<n>.jpeg" << QStringList{"PimgQ_1.jpeg"};
    }
    void helpNamesTheSheetsARunWrites() {
        QFETCH(int, files);
        QFETCH(QStringList, args);
        QFETCH(QString, promise);
        QFETCH(QStringList, sheets);
        const ToolRun help = runTool({"index", "--help"});
        QVERIFY2(help.out.simplified().contains(promise), qPrintable(help.out));
        const QByteArray photo = JpegBuilder::picture(16, 12, 30, 90, 200);
        QStringList paths;
        for (int i = 1; i <= files; ++i) {
            paths << path(QStringLiteral("in/img%1.jpg").arg(i));
            QVERIFY(testing::writeFile(paths.last(), photo));
        }
        const ToolRun run = runTool(QStringList{"index", "--size", "40"} + args + paths);
        QCOMPARE(run.exitCode, 0);
        QStringList written = QDir(path("in")).entryList({"*.jpeg"}, QDir::Files, QDir::Name);
        QCOMPARE(written, sheets);
    }

    void thumbnailsBesideTheirPictures() {
        photos({"in/Bild.jpg", "in/sub/Foto.JPG"});
        const ToolRun run = runTool({"thumbs", "-r", path("in")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains("thumbnails written: 2"), qPrintable(run.out));
        QCOMPARE(sizeOf("in/Bild_thumb.jpg"), QSize(100, 75));
        QCOMPARE(sizeOf("in/sub/Foto_thumb.JPG"), QSize(100, 75));
    }

    void unreadablePictureIsNamedAndFails() {
        photos({"in/a.jpg"});
        QVERIFY(testing::writeFile(path("in/bad.jpg"), "not a picture"));
        QVERIFY(QDir().mkpath(path("out")));
        const ToolRun run =
            runTool({"thumbs", "--dest", path("out"), path("in/a.jpg"), path("in/bad.jpg")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("bad.jpg"), qPrintable(run.err));
        QCOMPARE(sizeOf("out/a_thumb.jpg"), QSize(100, 75));
    }

    void usageErrors_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("stem and series")
            << QStringList{"index", "--stem", "x", "--series", "all-letters"};
        QTest::newRow("neither stem nor series") << QStringList{"index"};
        QTest::newRow("size out of range") << QStringList{"index", "--stem", "x", "--size", "501"};
        QTest::newRow("per-sheet not a number")
            << QStringList{"index", "--stem", "x", "--per-sheet", "many"};
        QTest::newRow("bad series rule") << QStringList{"index", "--series", "first-chars:0"};
        QTest::newRow("prefix with a stem") << QStringList{"index", "--stem", "x", "--prefix", "p"};
        QTest::newRow("two destinations")
            << QStringList{"thumbs", "--source-folder", "--subfolder", "T"};
        QTest::newRow("empty prefix and postfix")
            << QStringList{"thumbs", "--prefix", "", "--postfix", ""};
        QTest::newRow("thumbnail size") << QStringList{"thumbs", "--size", "5"};
    }
    void usageErrors() {
        QFETCH(QStringList, args);
        photos({"in/a.jpg"});
        const ToolRun run = runTool(args + QStringList{path("in/a.jpg")});
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(QDir(path("in")).entryList(QDir::Files), QStringList{"a.jpg"});
    }
};

KELVASTO_REGISTER_TEST(TestIndexCli)
#include "test_index_cli.moc"
