// kelvasto-batch effect, run as a program in the sandbox.

#include "cli/cli_test_case.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "imaging/picture_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace {

cli::ToolRun runEffect(const QStringList& args) {
    return cli::runTool(QStringList{"effect"} + args);
}

void writePicture(const QString& path) {
    Picture picture(16, 12);
    picture.fill(30, 140, 220);
    SaveAsJpeg(picture, path);
}

// A 1 x 1 bitmap of 24 bits.
QByteArray tinyBmp() {
    return QByteArray::fromHex("424d3a000000000000003600000028000000010000000100"
                               "0000010018000000000004000000130b0000130b00000000"
                               "000000000000ff000000");
}

} // namespace

class TestEffectJob : public CliTestCase {
    Q_OBJECT

private slots:
    void init() {
        QVERIFY(openSandbox(QStringLiteral("effect"), false));
        QVERIFY(QDir().mkpath(path("pics/sub")));
    }
    void cleanup() { closeSandbox(); }

    void usageErrors_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no effect") << QStringList{} << "no effect given";
        QTest::newRow("unknown effect") << QStringList{"blur", "x.jpg"} << "unknown effect blur";
        QTest::newRow("no path") << QStringList{"sw"} << "no file or folder";
        QTest::newRow("unknown option") << QStringList{"sw", "--deep", "x"} << "unknown option";
    }
    void usageErrors() {
        QFETCH(QStringList, args);
        QFETCH(QString, expected);
        const cli::ToolRun run = runEffect(args);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(expected), qPrintable(run.err));
    }

    void eachEffectWritesItsResultsBesideTheFiles_data() {
        QTest::addColumn<QString>("effect");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("aa") << "aa"
                            << "_aa";
        QTest::newRow("opt") << "opt"
                             << "_opt";
        QTest::newRow("sw") << "sw"
                            << "_sw";
    }
    void eachEffectWritesItsResultsBesideTheFiles() {
        QFETCH(QString, effect);
        QFETCH(QString, suffix);
        writePicture(path("pics/a.jpg"));
        writePicture(path("pics/b.jpeg"));
        const cli::ToolRun run = runEffect({effect, path("pics/a.jpg"), path("pics/b.jpeg")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(exists("pics/a" + suffix + ".jpg"));
        QVERIFY(exists("pics/b" + suffix + ".jpeg"));
        QVERIFY(run.out.contains(path("pics/a.jpg") + " -> " + path("pics/a" + suffix + ".jpg")));
    }

    void resultsGoWhereTheDestinationOptionSays_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("result");
        QTest::newRow("default") << QStringList{} << "pics/sub/a_sw.jpg";
        QTest::newRow("source folder") << QStringList{"--source-folder"} << "pics/sub/a_sw.jpg";
        QTest::newRow("set folder") << QStringList{"--dest", "out"} << "out/a_sw.jpg";
        QTest::newRow("sub-folder") << QStringList{"--subfolder", "SW"} << "pics/sub/SW/a_sw.jpg";
    }
    void resultsGoWhereTheDestinationOptionSays() {
        QFETCH(QStringList, options);
        QFETCH(QString, result);
        QVERIFY(QDir().mkpath(path("out")));
        writePicture(path("pics/sub/a.jpg"));
        if (options.size() == 2 && options.first() == "--dest")
            options[1] = path(options[1]);
        const cli::ToolRun run =
            runEffect(QStringList{"sw"} + options + QStringList{path("pics/sub/a.jpg")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(exists(result), qPrintable(run.out + run.err));
        QCOMPARE(QDir(path("pics/sub")).entryList(QDir::Files),
                 QStringList{"a.jpg"} +
                     (result == "pics/sub/a_sw.jpg" ? QStringList{"a_sw.jpg"} : QStringList{}));
    }
    void twoDestinationsAreAUsageError() {
        const cli::ToolRun run =
            runEffect({"sw", "--dest", path("out"), "--subfolder", "x", path("p.jpg")});
        QCOMPARE(run.exitCode, 2);
    }

    void recursiveConversionTakesOnlyBitmapsAndTrashesWhatItReplaces() {
        QVERIFY(testing::writeFile(path("pics/photo.bmp"), tinyBmp()));
        QVERIFY(testing::writeFile(path("pics/sub/x.BMP"), tinyBmp()));
        QVERIFY(testing::writeFile(path("pics/photo.jpg"), "someone's photograph"));
        writePicture(path("pics/sub/y.jpg"));
        const cli::ToolRun run = runEffect({"bmp2jpg", "--recursive", path("pics")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.contains("2 of 2 file(s) written"));
        QVERIFY(exists("pics/sub/x.jpg"));
        QVERIFY(!exists("pics/sub/y_sw.jpg"));
        QVERIFY(testing::readFile(path("pics/photo.jpg")).startsWith("\xFF\xD8"));
        QCOMPARE(testing::readFile(testing::dataHome() + "/Trash/files/photo.jpg"),
                 QByteArray("someone's photograph"));
    }

    void aResultNotWrittenIsNamedAndFailsTheRun() {
        QVERIFY(testing::writeFile(path("pics/photo.bmp"), tinyBmp()));
        QVERIFY(testing::writeFile(path("pics/photo.jpg"), "keep"));
        QVERIFY(QFile::setPermissions(path("pics/photo.jpg"), QFile::ReadOwner));
        const cli::ToolRun run = runEffect({"bmp2jpg", path("pics/photo.bmp")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(path("pics/photo.jpg")), qPrintable(run.err));
        QCOMPARE(testing::readFile(path("pics/photo.jpg")), QByteArray("keep"));
    }

    void anUnreadableFileEndsTheRunNamingIt() {
        writePicture(path("pics/a.jpg"));
        QVERIFY(testing::writeFile(path("pics/b.jpg"), "no picture"));
        const cli::ToolRun run = runEffect({"sw", path("pics/a.jpg"), path("pics/b.jpg")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(path("pics/b.jpg")), qPrintable(run.err));
        QVERIFY(exists("pics/a_sw.jpg"));
    }
};

KELVASTO_REGISTER_TEST(TestEffectJob)
#include "test_effect_job.moc"
