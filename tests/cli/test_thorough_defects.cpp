// `kelvasto-batch defects --thorough` and `--why`, run as the user runs them.

#include "app/app_settings.h"
#include "app/hive_store.h"
#include "common/damaged_jpeg.h"
#include "common/picture_files_for_tests.h"
#include "common/test_env.h"
#include "common/test_registry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString batchTool() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../src/cli/kelvasto-batch"));
}

struct ToolRun {
    int exitCode = -1;
    QStringList out; // lines
};

ToolRun runBatch(const QStringList& args) {
    QProcess process;
    process.start(batchTool(), args);
    ToolRun run;
    if (!process.waitForFinished(60000))
        return run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput()).split(QLatin1Char('\n'));
    return run;
}

} // namespace

class TestThoroughDefects : public QObject {
    Q_OBJECT
    QTemporaryDir* m_dir = nullptr;
    QString path(const QString& relative) const {
        return m_dir->path() + QLatin1Char('/') + relative;
    }

private slots:
    void init() {
        testing::resetHive();
        m_dir = new QTemporaryDir(QDir::tempPath() + QStringLiteral("/cli-thorough-XXXXXX"));
        QVERIFY(QDir().mkpath(path("work")));
        HiveKey key(kSettingsKeyPath);
        QVERIFY(key.writeString(QStringLiteral("Arbeitsverzeichnis"), path("work/")));
        QVERIFY(key.writeInteger(QStringLiteral("Sprache"), 10000));
        QVERIFY(QDir().mkpath(path("pics")));
        testing::writePictureFile(path("pics/a_sound.jpg"), testing::photoLike(200, 150, 9));
        const QByteArray sound = testing::readFile(path("pics/a_sound.jpg"));
        QVERIFY(
            testing::writeFile(path("pics/b_damaged.jpg"), testing::jpegDamagedInTheMiddle(sound)));
        QVERIFY(testing::writeFile(path("pics/c_cut.jpg"), sound.left(sound.size() / 2)));
    }
    void cleanup() { delete m_dir; }

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
        const ToolRun run =
            runBatch(QStringList{"defects", "--recursive"} + options + QStringList{path("pics")});
        QCOMPARE(run.exitCode, 0);
        QStringList named;
        for (QString line : run.out) {
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
