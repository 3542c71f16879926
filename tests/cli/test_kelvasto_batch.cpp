#include "app/app_settings.h"
#include "app/hive_store.h"
#include "common/jpeg_builder.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "engine/move_log.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include <unistd.h>

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

Run runTool(const QStringList& args) {
    QProcess process;
    process.start(toolPath(), args);
    Run run;
    if (!process.waitForFinished(60000))
        return run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

QByteArray sound(int size = 300) {
    return JpegBuilder().soi().scanData(size - 4).eoi().bytes();
}
QByteArray truncated(int size = 300) {
    return JpegBuilder().soi().scanData(size - 2).bytes();
}

} // namespace

class TestKelvastoBatch : public QObject {
    Q_OBJECT
    QTemporaryDir* m_dir = nullptr;

    QString path(const QString& relative) const {
        return m_dir->path() + QLatin1Char('/') + relative;
    }
    QString work() const { return path(QStringLiteral("work/")); }
    bool file(const QString& relative, const QByteArray& bytes) {
        return testing::writeFile(path(relative), bytes);
    }
    bool exists(const QString& relative) const { return QFileInfo::exists(path(relative)); }

private slots:
    void initTestCase() { QVERIFY2(QFileInfo(toolPath()).isExecutable(), qPrintable(toolPath())); }

    void init() {
        testing::resetHive();
        m_dir = new QTemporaryDir(QDir::tempPath() + QStringLiteral("/cli-XXXXXX"));
        QVERIFY(QDir().mkpath(work()));
        HiveKey key(kSettingsKeyPath);
        QVERIFY(key.writeString(QStringLiteral("Arbeitsverzeichnis"), work()));
        QVERIFY(key.writeInteger(QStringLiteral("Sprache"), 10000));
    }
    void cleanup() { delete m_dir; }

    void helpAndUsage_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("expected"); // in stdout for 0, stderr otherwise
        QTest::newRow("general help") << QStringList{"--help"} << 0 << "Jobs:";
        QTest::newRow("defects help")
            << QStringList{"defects", "--help"} << 0 << "Usage: kelvasto-batch defects";
        QTest::newRow("undo help")
            << QStringList{"undo", "--help"} << 0 << "Usage: kelvasto-batch undo";
        QTest::newRow("no job") << QStringList{} << 2 << "no job given";
        QTest::newRow("unknown job") << QStringList{"shrink"} << 2 << "unknown job shrink";
        QTest::newRow("no path") << QStringList{"defects", "--move"} << 2 << "no file or folder";
        QTest::newRow("unknown option")
            << QStringList{"defects", "--fast", "x"} << 2 << "unknown option --fast";
        QTest::newRow("dest without folder")
            << QStringList{"defects", "x", "--dest"} << 2 << "--dest needs a folder";
        QTest::newRow("undo with argument")
            << QStringList{"undo", "now"} << 2 << "undo takes no argument";
        QTest::newRow("missing path")
            << QStringList{"defects", "/no/such/file.jpg"} << 1 << "no such file or folder";
    }
    void helpAndUsage() {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, expected);
        const Run run = runTool(args);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2((exitCode == 0 ? run.out : run.err).contains(expected), qPrintable(run.err));
    }

    void folderWithoutRecursiveIsAUsageError() {
        QVERIFY(QDir().mkpath(path("pics")));
        const Run run = runTool({"defects", path("pics")});
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.err.contains("--recursive"));
    }

    void recursiveCopyPrintsEachFileAndTheCounters() {
        QVERIFY(file("pics/a.jpg", truncated()));
        QVERIFY(file("pics/b.jpg", sound()));
        QVERIFY(file("pics/sub/a.jpg", truncated(400)));
        QVERIFY(file("pics/sub/c.jpeg", truncated(500)));
        const Run run = runTool({"defects", "--recursive", path("pics")});
        QCOMPARE(run.exitCode, 0);
        const QString defect = work() + QStringLiteral("Defekt/");
        QCOMPARE(
            run.out,
            QStringLiteral("%1 -> %2Defekt1_a.jpg\n%3 -> %2Defekt2_a.jpg\n%4 -> %2Defekt3_c.jpeg\n"
                           "Files To Test: 4\nTested Files: 4\nNumber Of Invalid Files: 3\n")
                .arg(path("pics/a.jpg"), defect, path("pics/sub/a.jpg"), path("pics/sub/c.jpeg")));
        QVERIFY(run.err.contains("Search for damaged files ready."));
        QCOMPARE(testing::readFile(defect + "Defekt2_a.jpg").size(), 400);
        QVERIFY(exists("pics/a.jpg"));
        QCOMPARE(testing::readFile(work() + "Protokoll.txt"), QByteArray());
    }

    // The progress bar goes to stderr only when stderr is a terminal; stdout
    // stays the plain list either way.
    void progressBarOnlyOnATerminal() {
        const QString script = QStringLiteral("/usr/bin/script");
        if (!QFileInfo(script).isExecutable())
            QSKIP("no script(1) to provide a terminal");
        QVERIFY(file("pics/a.jpg", truncated()));
        QVERIFY(file("pics/b.jpg", sound()));
        const QString out = path("stdout.txt");
        const QString command = QStringLiteral("'%1' defects --recursive '%2' > '%3'")
                                    .arg(toolPath(), path("pics"), out);
        QProcess process;
        process.start(script, {"-qec", command, "/dev/null"});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 0);
        const QString terminal = QString::fromLocal8Bit(process.readAllStandardOutput());
        QVERIFY2(terminal.contains("[##############################] 2/2"), qPrintable(terminal));
        const QString plain = QString::fromLocal8Bit(testing::readFile(out));
        QVERIFY(plain.startsWith(path("pics/a.jpg") + " -> "));
        QVERIFY(!plain.contains('['));

        const Run piped = runTool({"defects", "--recursive", path("pics")});
        QVERIFY(!piped.err.contains('['));
    }

    void selectedFilesWithDestination() {
        QVERIFY(file("pics/a.jpg", truncated()));
        QVERIFY(file("pics/b.jpg", sound()));
        QVERIFY(file("pics/c.jpg", truncated()));
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(path("pics"));
        const Run run = runTool({"defects", "--dest", path("out"), "c.jpg", "a.jpg", "b.jpg"});
        QDir::setCurrent(cwd);
        QCOMPARE(run.exitCode, 0);
        QVERIFY(exists("out/Defekt/Defekt1_c.jpg"));
        QVERIFY(exists("out/Defekt/Defekt2_a.jpg"));
        QVERIFY(run.out.contains("Number Of Invalid Files: 2"));
    }

    void moveAndUndoRoundTrip() {
        QVERIFY(file("pics/a.jpg", truncated(301)));
        QVERIFY(file("pics/x/b.jpg", truncated(302)));
        QVERIFY(file("pics/y/c.jpeg", truncated(303)));
        QVERIFY(file("pics/y/d.jpg", sound()));
        Run run = runTool({"defects", "--recursive", "--move", path("pics")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(ReadMoveLog(work() + "Protokoll.txt").lines.size(), 6);
        QVERIFY(!exists("pics/a.jpg"));
        QVERIFY(file("pics/x/b.jpg", "newer")); // this one must stay in the defect folder

        run = runTool({"undo"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QStringLiteral("2 of 3 file(s) moved back\n"));
        QCOMPARE(testing::readFile(path("pics/a.jpg")).size(), 301);
        QCOMPARE(testing::readFile(path("pics/y/c.jpeg")).size(), 303);
        QCOMPARE(testing::readFile(path("pics/x/b.jpg")), QByteArray("newer"));
        QVERIFY(QFileInfo::exists(work() + "Defekt/Defekt2_b.jpg"));
    }

    void moveWithoutAWritableWorkingFolderMovesNothing() {
        QVERIFY(file("pics/a.jpg", truncated()));
        HiveKey key(kSettingsKeyPath);
        QVERIFY(key.writeString(QStringLiteral("Arbeitsverzeichnis"), path("missing/")));
        key.close();
        const Run run = runTool({"defects", "--move", path("pics/a.jpg")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.err.contains("nothing moved"));
        QVERIFY(exists("pics/a.jpg"));
    }

    void undoWithoutALogIsAnError() {
        const Run run = runTool({"undo"});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.err.contains("no move log"));
    }

    void emptyTreeShowsTheNoFileMessage() {
        QVERIFY(QDir().mkpath(path("empty")));
        const Run run = runTool({"defects", "--recursive", path("empty")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.err.contains("No file marked yet !"));
        QVERIFY(run.out.isEmpty());
    }

    // `kelvasto-batch defects --move ... | head -1`: the closed pipe must not
    // end the run before its log is written.
    void closedStdoutStillWritesTheLog() {
        for (int i = 0; i < 300; ++i)
            QVERIFY(file(QStringLiteral("pics/f%1.jpg").arg(i), truncated(40)));
        QProcess process;
        process.start(toolPath(), {"defects", "--recursive", "--move", path("pics")});
        QVERIFY(process.waitForReadyRead(30000));
        process.closeReadChannel(QProcess::StandardOutput);
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(ReadMoveLog(work() + "Protokoll.txt").lines.size(), 600);
        QCOMPARE(QDir(work() + "Defekt").entryList(QDir::Files).size(), 300);
    }

    // A closed or failing stdout must neither let a report line land in a file
    // the tool opened nor pass for success.
    void unwritableStdoutIsAnError_data() {
        QTest::addColumn<QString>("redirect");
        QTest::newRow("closed") << QStringLiteral(">&-");
        QTest::newRow("full disk") << QStringLiteral(">/dev/full");
    }
    void unwritableStdoutIsAnError() {
        QFETCH(QString, redirect);
        for (int i = 0; i < 5; ++i)
            QVERIFY(file(QStringLiteral("pics/f%1.jpg").arg(i), truncated(40)));
        QVERIFY(file("pics/sound.jpg", sound()));
        QProcess process;
        process.start("/bin/sh", {"-c", "exec \"$0\" \"$@\" " + redirect, toolPath(), "defects",
                                  "--recursive", "--move", path("pics")});
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 1);
        QVERIFY(process.readAllStandardError().contains("could not write to standard output"));
        const QStringList lines = ReadMoveLog(work() + "Protokoll.txt").lines;
        QCOMPARE(lines.size(), 10);
        for (int i = 0; i < lines.size(); i += 2) {
            QVERIFY(lines[i].startsWith(path("pics/f")));
            QVERIFY(lines[i + 1].startsWith(work() + "Defekt/Defekt"));
        }
        QCOMPARE(QDir(work() + "Defekt").entryList(QDir::Files).size(), 5);
        QCOMPARE(testing::readFile(path("pics/sound.jpg")), sound());
    }

    // Copying twice keeps the first copies and is no error; a destination
    // that cannot take the copies is.
    void failedCopiesSetTheExitStatus() {
        QVERIFY(file("pics/a.jpg", truncated()));
        const QStringList args = {"defects", "--dest", path("dest"), path("pics/a.jpg")};
        QCOMPARE(runTool(args).exitCode, 0);
        const Run again = runTool(args);
        QCOMPARE(again.exitCode, 0);
        QVERIFY(again.err.contains("left in place"));
        // A name the move log cannot hold is not moved.
        QVERIFY(file("pics/line\nbreak.jpg", truncated()));
        const Run unsafe = runTool({"defects", "--move", path("pics/line\nbreak.jpg")});
        QCOMPARE(unsafe.exitCode, 1);
        QVERIFY(unsafe.err.contains("a line break in the name"));
        QVERIFY(exists("pics/line\nbreak.jpg"));
        if (::geteuid() == 0)
            QSKIP("root writes into read-only folders");
        QVERIFY(QDir().mkpath(path("locked/Defekt")));
        QVERIFY(QFile::setPermissions(path("locked/Defekt"),
                                      QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        const Run locked = runTool({"defects", "--dest", path("locked"), path("pics/a.jpg")});
        QFile::setPermissions(path("locked/Defekt"), QFileDevice::ReadOwner |
                                                         QFileDevice::WriteOwner |
                                                         QFileDevice::ExeOwner);
        QCOMPARE(locked.exitCode, 1);
        QVERIFY(locked.err.contains("not copied or moved"));
    }

    void yesBehindDoubleDashIsAFileName() {
        QVERIFY(file("--yes", truncated()));
        QProcess process;
        process.setWorkingDirectory(m_dir->path());
        process.start(toolPath(), {"defects", "--", "--yes"});
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 0);
        QVERIFY(exists("work/Defekt/Defekt1_--yes"));
    }

    // Whenever the interrupt lands, the log must describe exactly the files
    // that were moved, and nothing may be lost.
    void interruptLeavesAConsistentLog() {
        const int count = 3000;
        for (int i = 0; i < count; ++i)
            QVERIFY(file(QStringLiteral("pics/d%1/f%2.jpg").arg(i / 100).arg(i), truncated(40)));
        QProcess process;
        process.start(toolPath(), {"defects", "--recursive", "--move", path("pics")});
        QVERIFY(process.waitForStarted());
        QVERIFY(process.waitForReadyRead(30000)); // the first moved file
        ::kill(pid_t(process.processId()), SIGINT);
        QVERIFY(process.waitForFinished(30000));
        QVERIFY(process.exitCode() == 130 || process.exitCode() == 0);
        const QStringList lines = ReadMoveLog(work() + "Protokoll.txt").lines;
        const int moved = int(QDir(work() + "Defekt").entryList(QDir::Files).size());
        QCOMPARE(int(lines.size()), 2 * moved);
        int remaining = 0;
        for (int d = 0; d < count / 100; ++d)
            remaining +=
                int(QDir(path(QStringLiteral("pics/d%1").arg(d))).entryList(QDir::Files).size());
        QCOMPARE(remaining + moved, count);
        if (process.exitCode() == 130)
            QVERIFY(moved < count);
    }
};

KELVASTO_REGISTER_TEST(TestKelvastoBatch)
#include "test_kelvasto_batch.moc"
