// What every job of kelvasto-batch prints, the same way for all: names quoted
// for the shell (or NUL-ended with -0), names that are not UTF-8 by their
// bytes, every reason in the locale's language, and what a run left out.

#include "cli/cli_test_case.h"
#include "common/jpeg_builder.h"
#include "common/picture_files_for_tests.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "fs/shell_quote.h"

#include <QDir>
#include <QRegularExpression>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using cli::Launch;
using cli::runTool;
using cli::ToolRun;

namespace {

QString shown(const QString& path) {
    return QString::fromUtf8(ShellEscapeQuoted(QFile::encodeName(path)));
}

QByteArray photo() {
    return JpegBuilder::picture(64, 48, 200, 60, 30);
}

// The records a job prints: one path, two ("from -> to"), or none (the
// empty record that ends a group).
using Record = QStringList;

} // namespace

class TestJobOutput : public CliTestCase {
    Q_OBJECT

    // Sets up the files of a job whose one name holds a line break; returns
    // its arguments and the records it must print.
    QStringList setUp(const QString& job, QList<Record>& records, QString& suffix) {
        const QString odd = QStringLiteral("x\ny");
        if (job == "dupes") {
            [&] {
                QVERIFY(file("t/copy.jpg", "same bytes"));
                QVERIFY(file("t/" + odd + ".jpg", "same bytes"));
            }();
            records = {{path("t/copy.jpg")}, {path("t/" + odd + ".jpg")}, {}};
            return {"dupes", path("t")};
        }
        if (job == "empty-folders") {
            QDir().mkpath(path("s/" + odd));
            records = {{path("s/" + odd)}};
            return {"empty-folders", path("s")};
        }
        const QString source = path("in/" + odd + ".jpg");
        if (job == "reduce") {
            testing::writeFile(source, JpegBuilder::decorated());
            records = {{source}};
            suffix = QStringLiteral(": %1 bytes saved").arg(JpegBuilder::kDecoratedSaved);
            return {"--yes", "reduce", "--app", "--comments", "--trailing", source};
        }
        testing::writeFile(source, photo());
        if (job == "thumbs") {
            records = {{source, path("in/" + odd + "_thumb.jpg")}};
            return {"thumbs", source};
        }
        if (job == "index") {
            records = {{source, path("in/s_1.jpeg")}};
            return {"index", "--stem", "s", source};
        }
        records = {{source, path("in/" + odd + "_sw.jpg")}};
        return {"effect", "sw", source};
    }

private slots:
    void init() { QVERIFY(openSandbox(QStringLiteral("output"))); }
    void cleanup() { closeSandbox(); }

    // A name with a line break is one record: quoted on a line ($'\n'), or
    // as its bytes ended by NUL with -0. dupes and empty-folders printed it
    // as two lines; thumbs, index and reduce had no -0, thumbs and index no
    // record per result.
    void namesAreQuotedOrNulEnded_data() {
        QTest::addColumn<QString>("job");
        QTest::addColumn<bool>("null");
        for (const char* job : {"dupes", "empty-folders", "thumbs", "index", "effect", "reduce"}) {
            QTest::addRow("%s, lines", job) << QString(job) << false;
            QTest::addRow("%s, -0", job) << QString(job) << true;
        }
    }
    void namesAreQuotedOrNulEnded() {
        QFETCH(QString, job);
        QFETCH(bool, null);
        QList<Record> records;
        QString suffix;
        QStringList args = setUp(job, records, suffix);
        if (null)
            args.append("-0");
        const ToolRun run = runTool(args);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        if (null) {
            QByteArray expected;
            for (const Record& record : records) {
                for (const QString& name : record)
                    expected += QFile::encodeName(name) + '\0';
                if (record.isEmpty())
                    expected += '\0';
            }
            QCOMPARE(run.rawOut, expected);
            return;
        }
        QString expected;
        for (const Record& record : records) {
            QStringList names;
            for (const QString& name : record)
                names << shown(name);
            expected += names.join(" -> ") + (record.isEmpty() ? "" : suffix) + '\n';
        }
        QVERIFY2(run.out.startsWith(expected), qPrintable(run.out));
        QVERIFY(expected.contains("$'\\n'"));
    }

    // Two names that differ only in a byte that is not UTF-8 used to print
    // alike (both U+FFFD); now each prints as its bytes.
    void namesNotInUtf8PrintAsTheirBytes_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("folders");
        QTest::newRow("thumbs") << QStringList{"thumbs", "-r"} << false;
        QTest::newRow("effect") << QStringList{"effect", "sw", "-r"} << false;
        QTest::newRow("dupes") << QStringList{"dupes"} << false;
        QTest::newRow("empty-folders") << QStringList{"empty-folders"} << true;
    }
    void namesNotInUtf8PrintAsTheirBytes() {
        QFETCH(QStringList, args);
        QFETCH(bool, folders);
        QVERIFY(file("in/a.jpg", photo()));
        const QByteArray in = QFile::encodeName(path("in/"));
        for (const char* bad : {"bad\xfe", "bad\xff"}) {
            const QByteArray name = in + bad + (folders ? "" : ".jpg");
            if (folders)
                QVERIFY(::mkdir(name.constData(), 0700) == 0);
            else
                QVERIFY(::close(::open(name.constData(), O_CREAT | O_WRONLY, 0600)) == 0);
        }
        const ToolRun run = runTool(args + QStringList{path("in")});
        for (const char* bad : {"bad\xfe", "bad\xff"}) {
            const QByteArray name = in + bad + (folders ? "" : ".jpg");
            folders ? ::rmdir(name.constData()) : ::unlink(name.constData());
        }
        QCOMPARE(run.exitCode, 1);
        const QString tail = folders ? "/'" : ".jpg'";
        for (const char* octal : {"376", "377"})
            QVERIFY2(run.err.contains(path("in/bad") + "'$'\\" + octal + "''" + tail),
                     qPrintable(run.err));
        QVERIFY(!run.err.contains(QChar(0xFFFD)));
    }

    // Under a German locale every reason is German: none is strerror's or an
    // exception's English any more.
    void reasonsFollowTheLocale_data() {
        QTest::addColumn<QString>("trouble");
        QTest::addColumn<QString>("reason");
        QTest::newRow("thumbs, no picture")
            << "thumbs"
            << "ausgelassen: %1: kein JPEG-Bild oder beschädigte Bilddaten";
        QTest::newRow("index, no picture")
            << "index"
            << "ausgelassen: %1: kein JPEG-Bild oder beschädigte Bilddaten";
        QTest::newRow("effect, bitmap cut off")
            << "bmp2jpg"
            << "ausgelassen: %1: keine Bitmap-Datei, oder beschädigt oder abgeschnitten; "
               "der Lauf endet hier";
        QTest::newRow("dupes, unreadable")
            << "dupes"
            << "ausgelassen: %1: Datei nicht lesbar, aus ihrer Gruppe genommen";
        QTest::newRow("empty-folders, unreadable")
            << "empty-folders"
            << "ausgelassen: %1: Ordner kann nicht gelesen werden (Zugriff verweigert)";
        QTest::newRow("defects --thorough, unreadable")
            << "defects"
            << "ausgelassen: %1: Datei lässt sich nicht öffnen (Zugriff verweigert)";
        QTest::newRow("reduce, unreadable")
            << "reduce"
            << "Verkleinerung bei %1 beendet: Datei lässt sich nicht öffnen (Zugriff verweigert)";
        QTest::newRow("unreachable argument") << "unreachable"
                                              << "ist nicht erreichbar: Zugriff verweigert";
    }
    void reasonsFollowTheLocale() {
        QFETCH(QString, trouble);
        QFETCH(QString, reason);
        QVERIFY(file("in/a.jpg", photo()));
        QString victim = path("in/bad.jpg");
        QStringList args;
        bool lock = false;
        if (trouble == "thumbs" || trouble == "index") {
            QVERIFY(file("in/bad.jpg", "not a picture"));
            args = trouble == "thumbs"
                       ? QStringList{"thumbs", "-r", path("in")}
                       : QStringList{"index", "--stem", "s", path("in/a.jpg"), victim};
        } else if (trouble == "bmp2jpg") {
            const QByteArray bitmap = testing::bmpBytes(testing::photoLike(40, 30, 3));
            victim = path("in/bad.bmp");
            QVERIFY(file("in/bad.bmp", bitmap.left(bitmap.size() - 100)));
            args = {"effect", "bmp2jpg", victim};
        } else if (trouble == "dupes") {
            QVERIFY(file("in/b.jpg", photo()));
            victim = path("in/b.jpg");
            lock = true;
            args = {"dupes", path("in")};
        } else if (trouble == "empty-folders") {
            QVERIFY(QDir().mkpath(path("in/locked")));
            victim = path("in/locked/");
            lock = true;
            args = {"empty-folders", path("in")};
        } else if (trouble == "defects") {
            victim = path("in/a.jpg");
            lock = true;
            args = {"defects", "--thorough", "--dest", path("out"), victim};
        } else if (trouble == "reduce") {
            victim = path("in/a.jpg");
            lock = true;
            args = {"--yes", "reduce", "--comments", victim};
        } else {
            QVERIFY(QDir().mkpath(path("in/locked")));
            victim = path("in/locked");
            lock = true;
            args = {"thumbs", path("in/locked/x.jpg")};
        }
        if (lock)
            QVERIFY(::chmod(QFile::encodeName(victim).constData(), 0) == 0);
        Launch launch;
        launch.environment = {"LANG=de_DE.UTF-8"};
        launch.dropFileAccessOverride = true;
        const ToolRun run = runTool(args, launch);
        if (lock)
            ::chmod(QFile::encodeName(victim).constData(), 0700);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(reason.contains("%1") ? reason.arg(shown(victim)) : reason),
                 qPrintable(run.err));
        static const QRegularExpression english(
            "cannot|denied|No such|not a |[Ff]ailed|skipped|ended at");
        QVERIFY2(!run.err.contains(english), qPrintable(run.err));
    }

    // Two results of one run with one name: the second used to send the
    // first to the trash and take its place, both reported written.
    void effectNeverLetsOneResultReplaceAnother() {
        QVERIFY(file("a/x.jpg", JpegBuilder::picture(40, 30, 220, 20, 20)));
        QVERIFY(file("b/x.jpg", JpegBuilder::picture(40, 30, 20, 220, 20)));
        QVERIFY(QDir().mkpath(path("out")));
        const ToolRun run =
            runTool({"effect", "aa", "--dest", path("out"), path("a/x.jpg"), path("b/x.jpg")});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out.count(" -> "), 1);
        QVERIFY2(run.out.startsWith(shown(path("a/x.jpg")) + " -> " + shown(path("out/x_aa.jpg"))),
                 qPrintable(run.out));
        QVERIFY2(run.err.contains("skipped: " + shown(path("out/x_aa.jpg")) +
                                  ": another result of this run already has this name"),
                 qPrintable(run.err));
        QVERIFY(!QFileInfo::exists(testing::dataHome() + "/Trash/files/x_aa.jpg"));
        QVERIFY2(run.out.contains("1 of 2 file(s) written"), qPrintable(run.out));
    }

    // Copies into the files' own folder would be the originals: the run
    // reduces nothing, says so and fails, instead of a "ready".
    void reduceCopiesIntoTheOwnFolderSayItReducedNothing() {
        QVERIFY(file("in/a.jpg", JpegBuilder::decorated()));
        const ToolRun run =
            runTool({"--yes", "reduce", "--comments", "--copies", path("in"), path("in/a.jpg")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("Nothing was reduced: the folder for the copies is the files' "
                                  "own folder"),
                 qPrintable(run.err));
        QVERIFY(!run.err.contains("is ready"));
        QCOMPARE(testing::readFile(path("in/a.jpg")), JpegBuilder::decorated());
    }
};

KELVASTO_REGISTER_TEST(TestJobOutput)
#include "test_job_output.moc"
