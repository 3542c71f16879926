// The uninstall command from the menu, on a fake program folder: the answer,
// the settings key, the script it starts, and the refusals that change
// nothing. The program never really ends and no script starts by itself.

#include "app/open_with_program.h"
#include "common/dialog_answerer.h"
#include "common/main_window_fixture.h"
#include "common/test_env.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "i18n/own_texts.h"
#include "settings/app_settings.h"
#include "settings/hive_store.h"
#include "ui/dialogs/uninstall_command.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>

using namespace mwtest;

namespace {

struct FakeInstall {
    QTemporaryDir base{testing::sandboxRoot() + QStringLiteral("/inst-XXXXXX")};
    QString folder = base.path() + QStringLiteral("/Kelvasto");
    QString program = folder + QStringLiteral("/kelvasto");
    bool ended = false;
    QList<DetachedStartCall> starts;
    bool startSucceeds = true;
    UninstallOverride target{{program, [this] { ended = true; }}};
    DetachedStartOverride record{[this](const DetachedStartCall& call) {
        starts.append(call);
        return startSucceeds;
    }};

    FakeInstall() {
        QDir().mkpath(folder);
        testing::writeFile(program, "ELF");
        testing::writeFile(folder + "/kelvasto-batch", "ELF");
        testing::writeFile(folder + "/readme.txt", "r");
    }
};

// A settings key with a value, and another program's key beside it.
void storeKeys() {
    testing::resetHive();
    HiveKey ours(kSettingsKeyPath);
    ours.writeInteger("Sprache", 10000);
    HiveKey other(QStringLiteral("\\Software\\Morlandt\\Anderes"));
    other.writeString("Name", "bleibt");
}

QJsonObject hive() {
    return QJsonDocument::fromJson(testing::readFile(HiveFilePath())).object();
}

} // namespace

class TestUninstallCommand : public QObject {
    Q_OBJECT
private slots:
    void answeringNoChangesNothing_data() {
        QTest::addColumn<QString>("answer");
        QTest::newRow("No") << "No";
        QTest::newRow("close box") << "";
    }
    void answeringNoChangesNothing() {
        QFETCH(QString, answer);
        FakeInstall install;
        storeKeys();
        auto window = MakeWindow();
        DialogAnswerer answers;
        if (!answer.isEmpty())
            answers.queue(answer);
        Find<QAction>(*window, "HMenuDateiProgDeInst")->trigger();
        QCOMPARE(answers.shown().size(), 1);
        QCOMPARE(answers.shown().at(0).text, CatalogueText(CatalogueId::ReallyUninstall));
        QVERIFY(hive().contains(kSettingsKeyPath));
        QVERIFY(install.starts.isEmpty());
        QVERIFY(!install.ended);
        QVERIFY(QFile::exists(install.program));
    }

    void yesDeletesTheKeyStartsTheScriptAndEnds() {
        FakeInstall install;
        storeKeys();
        auto window = MakeWindow();
        const QStringList tempBefore = QDir(QDir::tempPath()).entryList(QDir::Files);
        DialogAnswerer answers;
        answers.queue("Yes");
        Find<QAction>(*window, "HMenuDateiProgDeInst")->trigger();
        QVERIFY(install.ended);
        QCOMPARE(answers.unexpected(), 0);
        // Only the program's own key went.
        QVERIFY(!hive().contains(kSettingsKeyPath));
        QVERIFY(hive().contains("\\Software\\Morlandt\\Anderes"));
        QCOMPARE(install.starts.size(), 1);
        const DetachedStartCall call = install.starts.at(0);
        QCOMPARE(call.program, QStringLiteral("/bin/sh"));
        QCOMPARE(call.arguments.size(), 1);
        QCOMPARE(QDir::cleanPath(call.workingFolder), QDir::cleanPath(QDir::tempPath()));
        QCOMPARE(QDir::cleanPath(QDir::currentPath()), QDir::cleanPath(QDir::tempPath()));
        // The script it started removes the fake installation, the
        // command-line tool with it, and leaves no file in the temporary folder.
        QProcess sh;
        sh.start(call.program, call.arguments);
        QVERIFY(sh.waitForFinished(10000));
        QVERIFY(!QFileInfo::exists(install.folder));
        QCOMPARE(QDir(QDir::tempPath()).entryList(QDir::Files), tempBefore);
    }

    void refusalsChangeNothing_data() {
        QTest::addColumn<QString>("why");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("asked");
        QTest::newRow("installed from a package") << "package"
                                                  << "uninstall.packageOwned" << false;
        QTest::newRow("system-wide installation") << "readonly"
                                                  << "uninstall.notRemovable" << false;
        QTest::newRow("no temporary folder") << "notemp"
                                             << "uninstall.failed" << true;
        QTest::newRow("script does not start") << "nostart"
                                               << "uninstall.failed" << true;
    }
    void refusalsChangeNothing() {
        QFETCH(QString, why);
        QFETCH(QString, message);
        QFETCH(bool, asked);
        FakeInstall install;
        storeKeys();
        auto window = MakeWindow();
        QString program = install.program;
        if (why == "readonly") {
            // A program folder this user cannot delete in; for a test running
            // as root, a "folder" that is a file is the one such place.
            program = install.folder + "/readme.txt/kelvasto";
        }
        // dpkg's record of a package that installed the program file.
        const QString packages = install.base.path() + "/dpkg-info";
        if (why == "package")
            testing::writeFile(packages + "/kelvasto:amd64.list", "/.\n" + program.toUtf8() + "\n");
        UninstallOverride target({program, [&] { install.ended = true; }, packages});
        const QByteArray tmp = qgetenv("TMPDIR");
        if (why == "notemp")
            qputenv("TMPDIR", QFile::encodeName(testing::sandboxRoot() + "/kein-tmp"));
        install.startSucceeds = why != "nostart";
        const QStringList tempBefore = QDir(QString::fromLocal8Bit(tmp)).entryList(QDir::Files);
        DialogAnswerer answers;
        if (asked)
            answers.queue("Yes");
        answers.queue("OK");
        Find<QAction>(*window, "HMenuDateiProgDeInst")->trigger();
        qputenv("TMPDIR", tmp);
        QCOMPARE(answers.shown().size(), asked ? 2 : 1);
        const QString argument =
            why == "package" ? QStringLiteral("kelvasto") : QFileInfo(program).absolutePath();
        QCOMPARE(answers.shown().last().text,
                 OwnText(message.toLatin1().constData()).arg(argument));
        QVERIFY(!install.ended);
        QVERIFY(hive().contains(kSettingsKeyPath));
        QVERIFY(QFile::exists(install.program));
        // No script is left behind to run later, nor any other file.
        QCOMPARE(QDir(QString::fromLocal8Bit(tmp)).entryList(QDir::Files), tempBefore);
    }

    void refusalIsWordedInBothLanguages_data() {
        QTest::addColumn<QString>("key");
        QTest::newRow("installed from a package") << "uninstall.packageOwned";
        QTest::newRow("system-wide installation") << "uninstall.notRemovable";
    }
    void refusalIsWordedInBothLanguages() {
        QFETCH(QString, key);
        const QByteArray name = key.toLatin1();
        for (bool english : {false, true}) {
            const QString text = OwnTextIn(name.constData(), english);
            QVERIFY(text.contains("%1"));
            QVERIFY(text != key);
        }
        QVERIFY(OwnTextIn(name.constData(), true) != OwnTextIn(name.constData(), false));
    }
};

KELVASTO_REGISTER_TEST(TestUninstallCommand)
#include "test_uninstall_command.moc"
