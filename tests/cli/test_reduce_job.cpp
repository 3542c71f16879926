// kelvasto-batch reduce: the reduction of the window on the command line.

#include "cli/cli_test_case.h"
#include "common/jpeg_builder.h"
#include "common/test_env.h"
#include "common/test_registry.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <sys/stat.h>

namespace {

using cli::toolPath;
using cli::ToolRun;

// English messages; for root, optionally without the override of file
// permissions, so a write-protected file stops it as it stops a user.
ToolRun runTool(const QStringList& args, bool meetPermissions = false) {
    cli::Launch launch;
    launch.dropFileAccessOverride = meetPermissions;
    return cli::runTool(args, launch);
}

QString shown(const QString& path) {
    return path;
}

constexpr int kSaved = JpegBuilder::kDecoratedSaved;

} // namespace

class TestReduceJob : public CliTestCase {
    Q_OBJECT
    bool file(const QString& relative, const QByteArray& bytes = JpegBuilder::decorated()) {
        return testing::writeFile(path(relative), bytes);
    }
    qint64 size(const QString& relative) const { return QFileInfo(path(relative)).size(); }

private slots:
    void init() { QVERIFY(openSandbox(QStringLiteral("reduce-cli"))); }
    void cleanup() { closeSandbox(); }

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
        const ToolRun run = runTool(args);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QCOMPARE(size("a.jpg"), qint64(JpegBuilder::decorated().size()));
    }

    void reducesTreeAndReportsEachFile() {
        QVERIFY(file("pics/a.jpg"));
        QVERIFY(file("pics/sub/b.jpeg"));
        QVERIFY(file("pics/c.jpg", JpegBuilder::picture(8, 8)));
        const ToolRun run = runTool(
            {"--yes", "reduce", "--recursive", "--app", "--comments", "--trailing", path("pics")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(size("pics/a.jpg"), qint64(JpegBuilder::decorated().size() - kSaved));
        QCOMPARE(size("pics/sub/b.jpeg"), qint64(JpegBuilder::decorated().size() - kSaved));
        const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], shown(path("pics/a.jpg")) + ": 171 bytes saved");
        QCOMPARE(lines[1], shown(path("pics/sub/b.jpeg")) + ": 171 bytes saved");
        QCOMPARE(lines[2], QStringLiteral("2 of 3 file(s) reduced, 342 bytes saved"));
        // The warning is printed even with --yes.
        QVERIFY(run.err.contains("If you are not sure whether your graficprogram"));
    }

    // Every spelling of the options reaches the same reduction.
    void optionSpellings_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("reducedFile");
        QTest::newRow("--copies DIR")
            << QStringList{"--app", "--copies", "@copies", "@pics/a.jpg"} << "copies/a.jpg";
        QTest::newRow("--copies=DIR")
            << QStringList{"--app", "--copies=@copies", "@pics/a.jpg"} << "copies/a.jpg";
        QTest::newRow("-r") << QStringList{"-r", "--app", "@pics"} << "pics/a.jpg";
        QTest::newRow("options after the path")
            << QStringList{"@pics/a.jpg", "--app"} << "pics/a.jpg";
        QTest::newRow("--yes behind the job")
            << QStringList{"--app", "@pics/a.jpg"} << "pics/a.jpg";
        QTest::newRow("-- before a name with a dash")
            << QStringList{"--app", "--", "-dash.jpg"} << "-dash.jpg";
    }
    void optionSpellings() {
        QFETCH(QStringList, args);
        QFETCH(QString, reducedFile);
        QVERIFY(file("pics/a.jpg"));
        QVERIFY(file("-dash.jpg"));
        for (QString& arg : args) // "@" marks a path in the test's folder
            arg.replace(QRegularExpression("@(\\S+)"), path("\\1"));
        QProcess process;
        process.setWorkingDirectory(root());
        const bool yesBehind = QString::fromLatin1(QTest::currentDataTag()).contains("behind");
        const QStringList command = yesBehind ? QStringList{"reduce", "--yes"} + args
                                              : QStringList{"--yes", "reduce"} + args;
        process.start(toolPath(), command);
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(size(reducedFile), qint64(JpegBuilder::decorated().size() - 62));
        if (!reducedFile.startsWith("pics/"))
            QCOMPARE(size("pics/a.jpg"), qint64(JpegBuilder::decorated().size()));
    }

    void copiesTwice() {
        QVERIFY(file("pics/a.jpg"));
        for (int saved : {kSaved, 0}) {
            const ToolRun run = runTool({"--yes", "reduce", "--app", "--comments", "--trailing",
                                         "--copies", path("copies"), path("pics/a.jpg")});
            QCOMPARE(run.exitCode, 0);
            QCOMPARE(size("pics/a.jpg"), qint64(JpegBuilder::decorated().size()));
            QCOMPARE(size("copies/a.jpg"), qint64(JpegBuilder::decorated().size() - kSaved));
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
        const ToolRun run = runTool({"--yes", "reduce", "--app", path("pics/a.jpg"),
                                     path("pics/b.jpg"), path("pics/c.jpg")},
                                    true);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(shown(path("pics/b.jpg"))), qPrintable(run.err));
        QCOMPARE(size("pics/a.jpg"), qint64(JpegBuilder::decorated().size() - 62));
        QCOMPARE(size("pics/b.jpg"), qint64(JpegBuilder::decorated().size()));
        QCOMPARE(size("pics/c.jpg"), qint64(JpegBuilder::decorated().size()));
    }

    // A file the run leaves as it stands is named on stderr with its reason,
    // and the status is 1; the other files are reduced.
    void leftFilesAreNamed_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("named");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("kept");
        QTest::newRow("PNG named .jpg") << QStringList{"--trailing"} << "pics/b.jpg"
                                        << "not a JPEG file"
                                        << "pics/b.jpg";
        QTest::newRow("copy name taken by another picture")
            << QStringList{"--trailing", "--copies", "@copies"} << "pics/b.jpg"
            << "not copied: @copies/b.jpg is another file"
            << "copies/b.jpg";
    }
    void leftFilesAreNamed() {
        QFETCH(QStringList, options);
        QFETCH(QString, named);
        QFETCH(QString, reason);
        QFETCH(QString, kept);
        QVERIFY(file("pics/a.jpg"));
        const QByteArray other = QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(400, 'p') +
                                 "\xFF\xD9" + QByteArray(40, 'q');
        QVERIFY(file(kept, other));
        if (kept != named)
            QVERIFY(file(named));
        for (QString& option : options)
            option.replace("@", root() + "/");
        reason.replace("@", root() + "/");
        const ToolRun run =
            runTool(QStringList{"--yes", "reduce", "-r"} + options + QStringList{path("pics")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(shown(path(named))) && run.err.contains(reason),
                 qPrintable(run.err));
        QCOMPARE(testing::readFile(path(kept)), other);
        const QString reducedA = options.contains("--copies") ? "copies/a.jpg" : "pics/a.jpg";
        QCOMPARE(size(reducedA), qint64(JpegBuilder::decorated().size() - 100));
    }

    // On a terminal the warning is a question: "n" leaves the files alone,
    // "y" reduces them.
    void confirmationOnATerminal_data() {
        QTest::addColumn<QString>("lang");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("reduced");
        QTest::newRow("no") << "C.UTF-8"
                            << "n" << false;
        QTest::newRow("empty answer") << "C.UTF-8"
                                      << "" << false;
        QTest::newRow("yes") << "C.UTF-8"
                             << "y" << true;
        QTest::newRow("German yes") << "de_DE.UTF-8"
                                    << "ja" << true;
        QTest::newRow("German j") << "de_DE.UTF-8"
                                  << "J" << true;
        QTest::newRow("German no") << "de_DE.UTF-8"
                                   << "n" << false;
        QTest::newRow("German word in English") << "C.UTF-8"
                                                << "ja" << false;
    }
    void confirmationOnATerminal() {
        QFETCH(QString, lang);
        QFETCH(QString, answer);
        QFETCH(bool, reduced);
        const QString script = QStringLiteral("/usr/bin/script");
        if (!QFileInfo(script).isExecutable())
            QSKIP("no script(1) to provide a terminal");
        QVERIFY(file("pics/a.jpg"));
        const QString command =
            QStringLiteral("LC_ALL= LC_MESSAGES= LANG=%1 '%2' reduce --app '%3'")
                .arg(lang, toolPath(), path("pics/a.jpg"));
        QProcess process;
        process.start(script, {"-qec", command, "/dev/null"});
        QVERIFY(process.waitForStarted());
        process.write((answer + "\n").toUtf8());
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(size("pics/a.jpg"), qint64(JpegBuilder::decorated().size() - (reduced ? 62 : 0)));
    }
};

KELVASTO_REGISTER_TEST(TestReduceJob)
#include "test_reduce_job.moc"
