// kelvasto-batch reduce: the reduction of the window on the command line.

#include "app/app_settings.h"
#include "app/hive_store.h"
#include "common/jpeg_builder.h"
#include "common/test_env.h"
#include "common/test_registry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/stat.h>

namespace {

QString toolPath() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../src/cli/kelvasto-batch"));
}

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

// English messages; for root, optionally without the override of file
// permissions, so a write-protected file stops it as it stops a user.
Run runTool(const QStringList& args, bool meetPermissions = false) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANGUAGE"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(environment);
    if (meetPermissions)
        process.setChildProcessModifier([] {
            ::prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
            ::prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0);
        });
    process.start(toolPath(), args);
    Run run;
    if (!process.waitForFinished(60000))
        return run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QString shown(const QString& path) {
    return path;
}

// An APP1 (62 bytes), a comment (9) and 100 bytes behind the picture.
QByteArray decorated() {
    return JpegBuilder()
        .soi()
        .app(0, 16)
        .app(1, 60)
        .com("hello")
        .segment(0xDA, 6)
        .scanData(1809)
        .eoi()
        .trailing(100)
        .bytes();
}
constexpr int kSaved = 171;

} // namespace

class TestReduceJob : public QObject {
    Q_OBJECT
    QTemporaryDir* m_dir = nullptr;

    QString path(const QString& relative) const {
        return m_dir->path() + QLatin1Char('/') + relative;
    }
    bool file(const QString& relative, const QByteArray& bytes = decorated()) {
        return testing::writeFile(path(relative), bytes);
    }
    qint64 size(const QString& relative) const { return QFileInfo(path(relative)).size(); }

private slots:
    void init() {
        testing::resetHive();
        m_dir = new QTemporaryDir(QDir::tempPath() + QStringLiteral("/reduce-cli-XXXXXX"));
        QVERIFY(QDir().mkpath(path("work")));
        HiveKey key(kSettingsKeyPath);
        QVERIFY(key.writeString(QStringLiteral("Arbeitsverzeichnis"), path("work/")));
        QVERIFY(key.writeInteger(QStringLiteral("Sprache"), 10000));
    }
    void cleanup() { delete m_dir; }

    // Nothing is touched and the tool says why, with status 2.
    void usageErrors_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("nothing to remove") << QStringList{"--yes", "reduce", "a.jpg"}
                                           << "You have to choose the data to be removed first!";
        QTest::newRow("no path") << QStringList{"--yes", "reduce", "--app"} << "";
        QTest::newRow("no terminal, no --yes")
            << QStringList{"reduce", "--app", "a.jpg"} << "--yes";
        QTest::newRow("unknown option")
            << QStringList{"--yes", "reduce", "--exif", "a.jpg"} << "--exif";
        QTest::newRow("--copies without folder")
            << QStringList{"--yes", "reduce", "--app", "--copies=", "a.jpg"} << "--copies";
        QTest::newRow("folder without --recursive")
            << QStringList{"--yes", "reduce", "--app", "."} << "";
    }
    void usageErrors() {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        QVERIFY(file("a.jpg"));
        for (QString& arg : args)
            if (arg == QLatin1String("a.jpg") || arg == QLatin1String("."))
                arg = path(arg);
        const Run run = runTool(args);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QCOMPARE(size("a.jpg"), qint64(decorated().size()));
    }

    void reducesTreeAndReportsEachFile() {
        QVERIFY(file("pics/a.jpg"));
        QVERIFY(file("pics/sub/b.jpeg"));
        QVERIFY(file("pics/c.jpg", JpegBuilder::picture(8, 8)));
        const Run run = runTool(
            {"--yes", "reduce", "--recursive", "--app", "--comments", "--trailing", path("pics")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(size("pics/a.jpg"), qint64(decorated().size() - kSaved));
        QCOMPARE(size("pics/sub/b.jpeg"), qint64(decorated().size() - kSaved));
        const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], shown(path("pics/a.jpg")) + ": 171 bytes saved");
        QCOMPARE(lines[1], shown(path("pics/sub/b.jpeg")) + ": 171 bytes saved");
        QCOMPARE(lines[2], QStringLiteral("2 of 3 file(s) reduced, 342 bytes saved"));
        // The warning is printed even with --yes.
        QVERIFY(run.err.contains("If you are not sure whether your graficprogram"));
    }

    void copiesTwice() {
        QVERIFY(file("pics/a.jpg"));
        for (int saved : {kSaved, 0}) {
            const Run run = runTool({"--yes", "reduce", "--app", "--comments", "--trailing",
                                     "--copies", path("copies"), path("pics/a.jpg")});
            QCOMPARE(run.exitCode, 0);
            QCOMPARE(size("pics/a.jpg"), qint64(decorated().size()));
            QCOMPARE(size("copies/a.jpg"), qint64(decorated().size() - kSaved));
            QVERIFY2(run.out.endsWith(QStringLiteral("reduced, %1 bytes saved\n").arg(saved)),
                     qPrintable(run.out));
        }
    }

    // A write-protected file ends the job there: it is named, the status is 1,
    // the files before it are reduced, the ones after it untouched.
    void writeProtectedFileEndsTheJob() {
        QVERIFY(file("pics/a.jpg"));
        QVERIFY(file("pics/b.jpg"));
        QVERIFY(file("pics/c.jpg"));
        QVERIFY(::chmod(QFile::encodeName(path("pics/b.jpg")).constData(), 0444) == 0);
        const Run run = runTool({"--yes", "reduce", "--app", path("pics/a.jpg"), path("pics/b.jpg"),
                                 path("pics/c.jpg")},
                                true);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(shown(path("pics/b.jpg"))), qPrintable(run.err));
        QCOMPARE(size("pics/a.jpg"), qint64(decorated().size() - 62));
        QCOMPARE(size("pics/b.jpg"), qint64(decorated().size()));
        QCOMPARE(size("pics/c.jpg"), qint64(decorated().size()));
    }

    // On a terminal the warning is a question: "n" leaves the files alone,
    // "y" reduces them.
    void confirmationOnATerminal_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("reduced");
        QTest::newRow("no") << "n" << false;
        QTest::newRow("empty answer") << "" << false;
        QTest::newRow("yes") << "y" << true;
    }
    void confirmationOnATerminal() {
        QFETCH(QString, answer);
        QFETCH(bool, reduced);
        const QString script = QStringLiteral("/usr/bin/script");
        if (!QFileInfo(script).isExecutable())
            QSKIP("no script(1) to provide a terminal");
        QVERIFY(file("pics/a.jpg"));
        const QString command = QStringLiteral("LANG=C.UTF-8 '%1' reduce --app '%2'")
                                    .arg(toolPath(), path("pics/a.jpg"));
        QProcess process;
        process.start(script, {"-qec", command, "/dev/null"});
        QVERIFY(process.waitForStarted());
        process.write((answer + "\n").toUtf8());
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(size("pics/a.jpg"), qint64(decorated().size() - (reduced ? 62 : 0)));
    }
};

KELVASTO_REGISTER_TEST(TestReduceJob)
#include "test_reduce_job.moc"
