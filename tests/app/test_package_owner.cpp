// Which package installed the program file, read from a fake dpkg info folder
// over a fake file system in the sandbox.

#include "app/package_owner.h"
#include "common/test_env.h"
#include "common/test_registry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestPackageOwner : public QObject {
    Q_OBJECT
private slots:
    void owningPackage_data() {
        // "@" in a recorded list stands for the fake root.
        QTest::addColumn<QString>("listName");
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("owner");
        const QString installed = "/.\n@/usr\n@/usr/bin\n@/usr/bin/kelvasto\n@/usr/share/doc\n";
        QTest::newRow("recorded as installed") << "kelvasto.list" << installed << "usr/bin/kelvasto"
                                               << "kelvasto";
        QTest::newRow("multi-arch list name")
            << "kelvasto:amd64.list" << installed << "usr/bin/kelvasto"
            << "kelvasto";
        QTest::newRow("last line without a line break") << "kelvasto.list"
                                                        << "@/usr/bin/kelvasto"
                                                        << "usr/bin/kelvasto"
                                                        << "kelvasto";
        QTest::newRow("recorded through a linked folder (/bin for /usr/bin)") << "kelvasto.list"
                                                                              << "@/bin/kelvasto\n"
                                                                              << "usr/bin/kelvasto"
                                                                              << "kelvasto";
        QTest::newRow("started through a link to the package's file")
            << "kelvasto.list" << installed << "opt/kv"
            << "kelvasto";
        QTest::newRow("another package's file of the same name") << "spiele.list"
                                                                 << "@/usr/games/kelvasto\n"
                                                                 << "usr/bin/kelvasto"
                                                                 << "";
        QTest::newRow("a copy outside the package")
            << "kelvasto.list" << installed << "home/kelvasto"
            << "";
        QTest::newRow("no dpkg on this system") << ""
                                                << ""
                                                << "usr/bin/kelvasto"
                                                << "";
    }
    void owningPackage() {
        QFETCH(QString, listName);
        QFETCH(QString, list);
        QFETCH(QString, program);
        QFETCH(QString, owner);
        const QTemporaryDir root(testing::sandboxRoot() + QStringLiteral("/root-XXXXXX"));
        const QString top = root.path() + QLatin1Char('/');
        QVERIFY(testing::writeFile(top + "usr/bin/kelvasto", "ELF"));
        QVERIFY(testing::writeFile(top + "usr/games/kelvasto", "ELF"));
        QVERIFY(testing::writeFile(top + "home/kelvasto", "ELF"));
        QVERIFY(QFile::link(top + "usr/bin", top + "bin"));
        QVERIFY(QDir().mkpath(top + "opt"));
        QVERIFY(QFile::link(top + "usr/bin/kelvasto", top + "opt/kv"));
        const QString info = top + "var/lib/dpkg/info/";
        if (!listName.isEmpty()) {
            QVERIFY(testing::writeFile(info + "base-files.list", "/.\n/usr\n/usr/bin\n"));
            QVERIFY(testing::writeFile(info + listName, list.replace('@', root.path()).toUtf8()));
        }
        QCOMPARE(OwningPackage(top + program, info), owner);
    }
};

KELVASTO_REGISTER_TEST(TestPackageOwner)
#include "test_package_owner.moc"
