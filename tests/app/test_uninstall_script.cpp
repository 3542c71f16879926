// The uninstall script, run for real by sh on a fake program folder in the
// sandbox (never on the real program file).

#include "app/uninstall_script.h"
#include "common/test_env.h"
#include "common/test_registry.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

// A program folder inside a fresh folder, holding `names`; a trailing "/"
// makes a folder.
struct ProgramFolder {
    QTemporaryDir base{testing::sandboxRoot() + QStringLiteral("/prog-XXXXXX")};
    QString folder;
    ProgramFolder(const QString& folderName, const QStringList& names) {
        folder = base.path() + QLatin1Char('/') + folderName;
        QDir().mkpath(folder);
        for (const QString& name : names) {
            if (name.endsWith(QLatin1Char('/')))
                QDir().mkpath(path(name));
            else
                testing::writeFile(path(name), "x");
        }
    }
    QString path(const QString& name) const { return folder + QLatin1Char('/') + name; }
    QStringList entries() const {
        return QDir(folder).entryList(
            QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    }
};

const QStringList kShipped = {"kelvasto",     "kelvasto-batch", "Kelvasto.HLP",
                              "liesmich.txt", "readme.txt",     "FILE_ID.diz"};

// Runs the script to its end; false when it did not end within `ms`.
bool runScript(const QString& script, int ms = 10000) {
    QProcess sh;
    sh.setWorkingDirectory(QDir::tempPath());
    sh.start(QStringLiteral("/bin/sh"), {script});
    return sh.waitForFinished(ms) && sh.exitStatus() == QProcess::NormalExit;
}

} // namespace

class TestUninstallScript : public QObject {
    Q_OBJECT
private slots:
    void removesTheProgramAndItsCompanionsOnly_data() {
        QTest::addColumn<QString>("folderName");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<bool>("folderGone");
        QTest::newRow("only the shipped files: folder removed")
            << "Kelvasto" << kShipped << QStringList{} << true;
        QTest::newRow("help file in lower case")
            << "Kelvasto" << QStringList{"kelvasto", "Kelvasto.hlp"} << QStringList{} << true;
        QTest::newRow("other files kept, folder stays")
            << "Kelvasto"
            << (kShipped + QStringList{"Bild.jpg", "README.TXT", ".versteckt", "Sub/"})
            << QStringList{".versteckt", "Bild.jpg", "README.TXT", "Sub"} << false;
        QTest::newRow("quotes, $(...), spaces and a newline taken literally")
            << "it's \"my\" $(touch PWNED) `touch PWNED2` ;rm -rf x\n\\ dir" << kShipped
            << QStringList{} << true;
        QTest::newRow("a folder name like an option") << "-rf" << kShipped << QStringList{} << true;
    }
    void removesTheProgramAndItsCompanionsOnly() {
        QFETCH(QString, folderName);
        QFETCH(QStringList, files);
        QFETCH(QStringList, left);
        QFETCH(bool, folderGone);
        ProgramFolder program(folderName, files);
        const QString script = WriteUninstallScript(program.path("kelvasto"), {3, 0});
        QVERIFY(runScript(script));
        QCOMPARE(QFileInfo::exists(program.folder), !folderGone);
        if (!folderGone)
            QCOMPARE(program.entries(), left);
        QVERIFY2(!QFile::exists(script), "the script deletes itself");
        // Nothing the names spelt was run, anywhere.
        for (const QString& dir : {QDir::tempPath(), program.base.path(), QDir::currentPath()})
            for (const char* marker : {"PWNED", "PWNED2"})
                QVERIFY(!QFile::exists(dir + QLatin1Char('/') + QLatin1String(marker)));
        QVERIFY(QFileInfo::exists(program.base.path()));
    }

    void leavesNothingInTheTemporaryFolder() {
        ProgramFolder program("Kelvasto", {"kelvasto", "kelvasto-batch"});
        const QStringList before = QDir(QDir::tempPath()).entryList(QDir::Files | QDir::Hidden);
        const QString script = WriteUninstallScript(program.path("kelvasto"), {3, 0});
        const QFileInfo info(script);
        QCOMPARE(info.absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
        QVERIFY(info.fileName().startsWith("uis"));
        QVERIFY(info.fileName().endsWith(".sh"));
        // The script is the only new file: no empty file reserving its name.
        QStringList now = QDir(QDir::tempPath()).entryList(QDir::Files | QDir::Hidden);
        now.removeOne(info.fileName());
        QCOMPARE(now, before);
        QVERIFY(runScript(script));
        QCOMPARE(QDir(QDir::tempPath()).entryList(QDir::Files | QDir::Hidden), before);
        QVERIFY(!QFileInfo::exists(program.folder));
    }

    void givesUpAfterItsRounds() {
        // A "program file" that rm cannot delete, even for root: a folder.
        ProgramFolder program("Kelvasto", {"kelvasto/", "readme.txt"});
        const QString script = WriteUninstallScript(program.path("kelvasto"), {3, 0});
        QElapsedTimer clock;
        clock.start();
        QVERIFY(runScript(script, 5000));
        QVERIFY(clock.elapsed() < 5000);
        QCOMPARE(program.entries(), QStringList{"kelvasto"});
        QVERIFY(!QFile::exists(script));
    }

    void waitsWhileTheProgramFileIsStillThere() {
        ProgramFolder program("Kelvasto", {"kelvasto/", "FILE_ID.diz"});
        const QString script = WriteUninstallScript(program.path("kelvasto"), {30, 1});
        QProcess sh;
        sh.start(QStringLiteral("/bin/sh"), {script});
        QVERIFY(sh.waitForStarted());
        QVERIFY(!sh.waitForFinished(1200)); // still waiting for the program file
        QVERIFY(QFileInfo::exists(program.folder));
        // The program has ended: its file can go now.
        QVERIFY(QDir(program.path("kelvasto")).removeRecursively() ||
                !QFileInfo::exists(program.path("kelvasto")));
        QVERIFY(sh.waitForFinished(5000));
        QVERIFY(!QFileInfo::exists(program.folder));
        QVERIFY(!QFile::exists(script));
    }

    void shellQuoting_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("plain") << QByteArray("/opt/kelvasto");
        QTest::newRow("quotes") << QByteArray("it's 'x' \"y\"");
        QTest::newRow("expansions") << QByteArray("$(id) `id` $HOME ${x} * ? [a] ~");
        QTest::newRow("control bytes") << QByteArray("a\nb\tc\\d;e|f&g");
        QTest::newRow("latin-1 byte") << QByteArray("caf\xe9");
        QTest::newRow("empty") << QByteArray();
    }
    void shellQuoting() {
        QFETCH(QByteArray, text);
        // The shell gives back exactly the bytes that were quoted.
        const QString script = QDir::tempPath() + QStringLiteral("/quote.sh");
        QVERIFY(testing::writeFile(script, "printf '%s' " + ShellQuoted(text) + "\n"));
        QProcess sh;
        sh.start(QStringLiteral("/bin/sh"), {script});
        QVERIFY(sh.waitForFinished(5000));
        QCOMPARE(sh.readAllStandardOutput(), text);
    }

    void removableProgramFile_data() {
        QTest::addColumn<QString>("where");
        QTest::addColumn<bool>("removable");
        QTest::newRow("own folder") << "own" << true;
        QTest::newRow("folder does not exist") << "missing" << false;
        QTest::newRow("folder is a file") << "file" << false;
    }
    void removableProgramFile() {
        QFETCH(QString, where);
        QFETCH(bool, removable);
        ProgramFolder program("Kelvasto", {"kelvasto", "datei"});
        const QString path = where == "own"       ? program.path("kelvasto")
                             : where == "missing" ? program.path("weg/kelvasto")
                                                  : program.path("datei/kelvasto");
        QCOMPARE(ProgramFileRemovable(path), removable);
    }

    void readOnlyInstallIsNotRemovable() {
        if (::geteuid() == 0)
            QSKIP("root may delete in any folder");
        ProgramFolder program("Kelvasto", {"kelvasto"});
        QFile::setPermissions(program.folder, QFile::ReadOwner | QFile::ExeOwner);
        QVERIFY(!ProgramFileRemovable(program.path("kelvasto")));
    }
};

KELVASTO_REGISTER_TEST(TestUninstallScript)
#include "test_uninstall_script.moc"
