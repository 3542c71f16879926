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

// The form a path takes on the tool's lines.
QString shown(const QString& path) {
    return QString::fromUtf8(ShellEscapeQuoted(QFile::encodeName(path)));
}

QByteArray sound(int size = 300) {
    return JpegBuilder().soi().scanData(size - 4).eoi().bytes();
}
QByteArray truncated(int size = 300) {
    return JpegBuilder().soi().scanData(size - 2).bytes();
}

} // namespace

class TestKelvastoBatch : public CliTestCase {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(QFileInfo(toolPath()).isExecutable(), qPrintable(toolPath())); }

    void init() { QVERIFY(openSandbox(QStringLiteral("cli"))); }
    void cleanup() { closeSandbox(); }

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
            << QStringList{"defects", "x", "--dest"} << 2 << "--dest needs a value";
        QTest::newRow("dest empty")
            << QStringList{"defects", "--dest=", "x"} << 2 << "--dest needs a value";
        QTest::newRow("value for a switch")
            << QStringList{"defects", "--move=yes", "x"} << 2 << "--move takes no value";
        QTest::newRow("unknown short option") << QStringList{"-x"} << 2 << "unknown option -x";
        QTest::newRow("yes alone is no job") << QStringList{"--yes"} << 2 << "no job given";
        QTest::newRow("help for a job")
            << QStringList{"help", "undo"} << 0 << "Usage: kelvasto-batch undo";
        QTest::newRow("undo --list with --all")
            << QStringList{"undo", "--list", "--all"} << 2 << "exclude each other";
        QTest::newRow("undo --run without id")
            << QStringList{"undo", "--run"} << 2 << "--run needs a value";
        QTest::newRow("undo with argument")
            << QStringList{"undo", "now"} << 2 << "undo takes no argument";
        QTest::newRow("missing path") << QStringList{"defects", "/no/such/file.jpg"} << 1
                                      << "/no/such/file.jpg does not exist.";
    }
    void helpAndUsage() {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, expected);
        const ToolRun run = runTool(args);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2((exitCode == 0 ? run.out : run.err).contains(expected), qPrintable(run.err));
    }

    void folderWithoutRecursiveIsAUsageError() {
        QVERIFY(QDir().mkpath(path("pics")));
        const ToolRun run = runTool({"defects", path("pics")});
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.err.contains("--recursive"));
    }

    void recursiveCopyPrintsEachFileAndTheCounters() {
        QVERIFY(file("pics/a.jpg", truncated()));
        QVERIFY(file("pics/b.jpg", sound()));
        QVERIFY(file("pics/sub/a.jpg", truncated(400)));
        QVERIFY(file("pics/sub/c.jpeg", truncated(500)));
        const ToolRun run = runTool({"defects", "--recursive", path("pics")});
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

        const ToolRun piped = runTool({"defects", "--recursive", path("pics")});
        QVERIFY(!piped.err.contains('['));
    }

    void selectedFilesWithDestination() {
        QVERIFY(file("pics/a.jpg", truncated()));
        QVERIFY(file("pics/b.jpg", sound()));
        QVERIFY(file("pics/c.jpg", truncated()));
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(path("pics"));
        const ToolRun run = runTool({"defects", "--dest", path("out"), "c.jpg", "a.jpg", "b.jpg"});
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
        ToolRun run = runTool({"defects", "--recursive", "--move", path("pics")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(ReadMoveLog(work() + "Protokoll.txt").lines.size(), 6);
        QVERIFY(!exists("pics/a.jpg"));
        QVERIFY(file("pics/x/b.jpg", "newer")); // this one must stay in the defect folder

        run = runTool({"undo"});
        // One file stays in the defect folder: named, and the run says so.
        QCOMPARE(run.exitCode, 1);
        const QString defect = work() + "Defekt/";
        QCOMPARE(run.out, QStringLiteral("%1Defekt1_a.jpg -> %2\n%1Defekt3_c.jpeg -> %3\n"
                                         "2 of 3 file(s) moved back\n")
                              .arg(defect, path("pics/a.jpg"), path("pics/y/c.jpeg")));
        QVERIFY2(run.err.contains(QStringLiteral("left in the defect folder: %1Defekt2_b.jpg: %2 "
                                                 "is taken")
                                      .arg(defect, path("pics/x/b.jpg"))),
                 qPrintable(run.err));
        QVERIFY(run.err.contains("left in the defect folder (named above): 1\n"));
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
        const ToolRun run = runTool({"defects", "--move", path("pics/a.jpg")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.err.contains("nothing moved"));
        QVERIFY(exists("pics/a.jpg"));
    }

    void undoWithoutALogIsAnError() {
        const ToolRun run = runTool({"undo"});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.err.contains("no move log"));
    }

    void emptyTreeShowsTheNoFileMessage() {
        QVERIFY(QDir().mkpath(path("empty")));
        const ToolRun run = runTool({"defects", "--recursive", path("empty")});
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
        const ToolRun again = runTool(args);
        QCOMPARE(again.exitCode, 0);
        QVERIFY(again.err.contains("copied before"));
        // A name the move log cannot hold is not moved.
        QVERIFY(file("pics/line\nbreak.jpg", truncated()));
        const ToolRun unsafe = runTool({"defects", "--move", path("pics/line\nbreak.jpg")});
        QCOMPARE(unsafe.exitCode, 1);
        QVERIFY(unsafe.err.contains("a line break in the name"));
        QVERIFY(exists("pics/line\nbreak.jpg"));
        QVERIFY(QDir().mkpath(path("locked/Defekt")));
        QVERIFY(QFile::setPermissions(path("locked/Defekt"),
                                      QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        Launch launch;
        launch.dropFileAccessOverride = true; // root meets the permissions too
        const ToolRun locked =
            runTool({"defects", "--dest", path("locked"), path("pics/a.jpg")}, launch);
        QFile::setPermissions(path("locked/Defekt"), QFileDevice::ReadOwner |
                                                         QFileDevice::WriteOwner |
                                                         QFileDevice::ExeOwner);
        QCOMPARE(locked.exitCode, 1);
        QVERIFY(locked.err.contains("not copied or moved"));
    }

    void yesBehindDoubleDashIsAFileName() {
        QVERIFY(file("--yes", truncated()));
        QProcess process;
        process.setWorkingDirectory(root());
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

    // --help is built from the job table: every row shows with its summary,
    // in the run's language, and the move log's real path is named.
    void helpListsTheJobTable_data() {
        QTest::addColumn<QString>("lang");
        QTest::addColumn<bool>("english");
        QTest::addColumn<QString>("moveLogLabel");
        QTest::newRow("English") << "en_US.UTF-8" << true << "Move log:";
        QTest::newRow("German") << "de_DE.UTF-8" << false << "Verschiebeprotokoll:";
    }
    void helpListsTheJobTable() {
        QFETCH(QString, lang);
        QFETCH(bool, english);
        QFETCH(QString, moveLogLabel);
        Launch launch;
        launch.environment = {"LANG=" + lang};
        const ToolRun run = runTool({"--help"}, launch);
        QCOMPARE(run.exitCode, 0);
        QVERIFY(!BatchJobs().empty());
        for (const BatchJob* job : BatchJobs()) {
            const QString row = QStringLiteral("  %1 %2\n")
                                    .arg(QString::fromLatin1(job->name), -9)
                                    .arg(OwnTextIn(job->summaryKey, english));
            QVERIFY2(run.out.contains(row), qPrintable(row));
            const ToolRun jobHelp = runTool({QString::fromLatin1(job->name), "--help"}, launch);
            QCOMPARE(jobHelp.exitCode, 0);
            QVERIFY(jobHelp.out.contains(QLatin1String(job->name)));
        }
        QVERIFY2(run.out.contains(
                     QRegularExpression(QRegularExpression::escape(moveLogLabel) + " +" +
                                        QRegularExpression::escape(work() + "Protokoll.txt"))),
                 qPrintable(run.out));
    }

    // Every spelling of the options gives the same run.
    void optionSpellings_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("copy"); // where the copy of pics/a.jpg must land
        QTest::newRow("long recursive")
            << QStringList{"defects", "--recursive", "PICS"} << "work/Defekt/Defekt1_a.jpg";
        QTest::newRow("short recursive")
            << QStringList{"defects", "-r", "PICS"} << "work/Defekt/Defekt1_a.jpg";
        QTest::newRow("option behind the path")
            << QStringList{"defects", "PICS", "-r"} << "work/Defekt/Defekt1_a.jpg";
        QTest::newRow("dest with equals")
            << QStringList{"defects", "--dest=DEST", "-r", "PICS"} << "dest/Defekt/Defekt1_a.jpg";
        QTest::newRow("dest as the next argument")
            << QStringList{"defects", "-r", "--dest", "DEST", "PICS"}
            << "dest/Defekt/Defekt1_a.jpg";
        QTest::newRow("the last dest counts")
            << QStringList{"defects", "--dest", "OTHER", "-r", "--dest=DEST", "PICS"}
            << "dest/Defekt/Defekt1_a.jpg";
        QTest::newRow("yes before the job")
            << QStringList{"--yes", "defects", "-r", "PICS"} << "work/Defekt/Defekt1_a.jpg";
        QTest::newRow("yes behind the job")
            << QStringList{"defects", "--yes", "-r", "PICS"} << "work/Defekt/Defekt1_a.jpg";
        QTest::newRow("double dash ends the options")
            << QStringList{"defects", "--", "-r"} << "work/Defekt/Defekt1_-r";
    }
    void optionSpellings() {
        QFETCH(QStringList, args);
        QFETCH(QString, copy);
        QVERIFY(file("pics/a.jpg", truncated()));
        QVERIFY(file("-r", truncated()));
        args.replaceInStrings("PICS", path("pics"));
        args.replaceInStrings("DEST", path("dest"));
        args.replaceInStrings("OTHER", path("other"));
        Launch launch;
        launch.workingFolder = root();
        const ToolRun run = runTool(args, launch);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(exists(copy), qPrintable(run.out + run.err));
        QVERIFY(!exists("other"));
    }

    // L is a link to elsewhere/sub: "L/.." is elsewhere, as the kernel
    // reads it, not the folder that holds L.
    void undoStopsBetweenFilesOnSigterm() {
        const int count = 3000;
        for (int i = 0; i < count; ++i)
            QVERIFY(file(QStringLiteral("pics/d%1/f%2.jpg").arg(i / 100).arg(i), truncated(40)));
        QCOMPARE(runTool({"defects", "--recursive", "--move", path("pics")}).exitCode, 0);
        const QByteArray log = testing::readFile(work() + "Protokoll.txt");

        QProcess process;
        prepare(process, {});
        process.start(toolPath(), {"undo"});
        QVERIFY(process.waitForReadyRead(30000)); // the first file is back
        ::kill(pid_t(process.processId()), SIGTERM);
        const ToolRun run = finish(process);
        QVERIFY2(run.exitCode == 130 || run.exitCode == 0, qPrintable(run.err));
        const int back = int(run.out.count(" -> "));
        const int waiting = int(QDir(work() + "Defekt").entryList(QDir::Files).size());
        QCOMPARE(back + waiting, count);
        QVERIFY(run.out.endsWith(QStringLiteral("%1 of %1 file(s) moved back\n").arg(back)));
        if (run.exitCode == 130) {
            QVERIFY(waiting > 0);
            QVERIFY(run.err.contains("interrupted"));
        }
        QCOMPARE(testing::readFile(work() + "Protokoll.txt"), log);

        const ToolRun rest = runTool({"undo"});
        QCOMPARE(rest.exitCode, 0);
        QVERIFY(rest.out.endsWith(QStringLiteral("%1 of %1 file(s) moved back\n").arg(waiting)));
        QVERIFY(QDir(work() + "Defekt").entryList(QDir::Files).isEmpty());
    }

    // The undo counts only files that were in the defect folder: pairs whose
    // move never happened are no files "not moved back". With --null the
    // paths come bare and the count goes to stderr.
    void undoCountsOnlyFilesThatWereMoved_data() {
        QTest::addColumn<bool>("nullSeparated");
        QTest::newRow("lines") << false;
        QTest::newRow("null") << true;
    }
    void undoCountsOnlyFilesThatWereMoved() {
        QFETCH(bool, nullSeparated);
        QVERIFY(file("work/Defekt/Defekt1_a.jpg", truncated()));
        QVERIFY(file("pics/b.jpg", truncated())); // its move had failed
        const QString former = path("pics/a.jpg");
        const QString moved = work() + "Defekt/Defekt1_a.jpg";
        QVERIFY(WriteMoveLog(work() + "Protokoll.txt",
                             {former, moved, path("pics/b.jpg"), work() + "Defekt/Defekt2_b.jpg",
                              path("pics/c.jpg"), work() + "Defekt/Defekt3_c.jpg"}));
        const ToolRun run =
            runTool(nullSeparated ? QStringList{"undo", "--null"} : QStringList{"undo"});
        QCOMPARE(run.exitCode, 0);
        const QString summary = "1 of 1 file(s) moved back\n";
        if (nullSeparated) {
            QCOMPARE(run.rawOut,
                     QFile::encodeName(moved) + '\0' + QFile::encodeName(former) + '\0');
            QCOMPARE(run.err, summary);
        } else {
            QCOMPARE(run.out, moved + " -> " + former + "\n" + summary);
            QVERIFY(run.err.isEmpty());
        }
        QVERIFY(exists("pics/a.jpg"));
    }

    // Names that would break a line ("old -> new" per line) are quoted as
    // ls --quoting-style=shell-escape does; --null gives the bare bytes.
    void outputThatScriptsCanTrust_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("line break") << "line\nbreak.jpg";
        QTest::newRow("arrow") << "a -> b.jpg";
        QTest::newRow("quote and space") << "it's me.jpg";
        QTest::newRow("plain") << "plain.jpg";
    }
    void outputThatScriptsCanTrust() {
        QFETCH(QString, name);
        QVERIFY(file("pics/" + name, truncated()));
        const QString from = path("pics/" + name);
        const QString to = work() + "Defekt/Defekt1_" + name;
        const ToolRun lines = runTool({"defects", from});
        QCOMPARE(lines.exitCode, 0);
        QCOMPARE(lines.out.section('\n', 0, 0), shown(from) + " -> " + shown(to));
        QVERIFY(lines.out.contains("Files To Test: 1\n"));

        QVERIFY(QFile::remove(to));
        const ToolRun nul = runTool({"defects", "-0", from});
        QCOMPARE(nul.exitCode, 0);
        QCOMPARE(nul.rawOut, QFile::encodeName(from) + '\0' + QFile::encodeName(to) + '\0');
        QVERIFY(nul.err.contains("Files To Test: 1\n"));
    }

    // One language per run, from the locale, whatever the window's setting.
    void languageFollowsTheLocale_data() {
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<QString>("counter");
        QTest::addColumn<QString>("closing");
        QTest::addColumn<QString>("usage");
        QTest::newRow("German") << QStringList{"LANG=de_DE.UTF-8"} << "Zu testende Dateien: 1"
                                << "Die Suche nach defekten Dateien ist beendet."
                                << "unbekannte Aufgabe shrink";
        QTest::newRow("English") << QStringList{"LANG=en_GB.UTF-8"} << "Files To Test: 1"
                                 << "Search for damaged files ready."
                                 << "unknown job shrink";
    }
    void languageFollowsTheLocale() {
        QFETCH(QStringList, environment);
        QFETCH(QString, counter);
        QFETCH(QString, closing);
        QFETCH(QString, usage);
        QVERIFY(file("pics/a.jpg", truncated()));
        Launch launch;
        launch.environment = environment;
        const ToolRun run = runTool({"defects", path("pics/a.jpg")}, launch);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains(counter), qPrintable(run.out));
        QVERIFY2(run.err.contains(closing), qPrintable(run.err));
        const ToolRun wrong = runTool({"shrink"}, launch);
        QCOMPARE(wrong.exitCode, 2);
        QVERIFY2(wrong.err.contains(usage), qPrintable(wrong.err));
    }

    // With no working folder stored, the tool uses the window's default, the
    // per-user data folder: moved pictures and their log never land beside
    // the program, and the help says where the log is.
    void defaultWorkingFolderIsThePerUserDataFolder() {
        testing::resetHive();
        const QString folder = testing::dataHome() + "/Kelvasto/";
        QVERIFY(file("pics/a.jpg", truncated()));
        const ToolRun help = runTool({"undo", "--help"});
        QVERIFY2(help.out.contains("  " + folder + "Protokoll.txt\n"), qPrintable(help.out));
        const ToolRun run = runTool({"defects", "--move", path("pics/a.jpg")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(QFileInfo::exists(folder + "Defekt/Defekt1_a.jpg"));
        QCOMPARE(ReadMoveLog(folder + "Protokoll.txt").lines.size(), 2);
        QVERIFY(!QFileInfo::exists(QFileInfo(toolPath()).absolutePath() + "/Defekt"));
        QVERIFY(QDir(folder).removeRecursively());
    }
};

KELVASTO_REGISTER_TEST(TestKelvastoBatch)
#include "test_kelvasto_batch.moc"
