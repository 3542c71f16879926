#include "common/file_fixtures.h"
#include "common/test_registry.h"
#include "fs/path_utils.h"

#include <QStandardPaths>
#include <QTest>

class TestPathUtils : public QObject {
    Q_OBJECT
private slots:
    void addTrailingBackslash_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("root unchanged") << "/"
                                        << "/";
        QTest::newRow("folder gets slash") << "/home/u/Bilder"
                                           << "/home/u/Bilder/";
        QTest::newRow("already ends") << "/home/u/Bilder/"
                                      << "/home/u/Bilder/";
    }
    void addTrailingBackslash() {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(AddTrailingBackslash(path), expected);
    }

    void makeBlanksGivesOneMore_data() {
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("length");
        QTest::newRow("0") << 0 << 1;
        QTest::newRow("5") << 5 << 6;
        QTest::newRow("255") << 255 << 256;
    }
    void makeBlanksGivesOneMore() {
        QFETCH(int, n);
        QFETCH(int, length);
        QCOMPARE(MakeBlanks(n), QString(length, QLatin1Char(' ')));
    }

    void stripDigits() {
        QCOMPARE(StripDigits(QStringLiteral("Bild007_a1")), QStringLiteral("Bild_a"));
        QCOMPARE(StripDigits(QStringLiteral("0123456789")), QString());
        QCOMPARE(StripDigits(QStringLiteral("Übersicht²")), QStringLiteral("Übersicht²"));
    }

    void nearestExistingFolderAndDriveReadiness() {
        fixtures::Tree tree;
        QVERIFY(tree.folder(QStringLiteral("a/b")));
        QVERIFY(tree.file(QStringLiteral("a/file.jpg"), "x"));
        const QString root = QDir::cleanPath(tree.root());
        QCOMPARE(NearestExistingFolder(tree.path(QStringLiteral("a/b"))), root + "/a/b");
        QCOMPARE(NearestExistingFolder(tree.path(QStringLiteral("a/b/gone/deeper/"))),
                 root + "/a/b");
        QCOMPARE(NearestExistingFolder(tree.path(QStringLiteral("a/file.jpg/x"))), root + "/a");
        QCOMPARE(NearestExistingFolder(QStringLiteral("/no-such-top-folder/x")),
                 QStringLiteral("/"));
        QCOMPARE(NearestExistingFolder(QStringLiteral("relative/x")), QString());
        QVERIFY(IsDriveReady(tree.path(QStringLiteral("a/missing/"))));
        QVERIFY(IsDriveReady(QStringLiteral("/")));
        QVERIFY(!IsDriveReady(QStringLiteral("relative/")));
        QVERIFY(!IsDriveReady(QString()));
    }

    void faithfulNames_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<bool>("faithful");
        QTest::newRow("ascii") << QByteArray("photo.jpg") << true;
        QTest::newRow("utf-8 umlaut") << QByteArray("B\xc3\xa4r.jpg") << true;
        QTest::newRow("latin-1 byte") << QByteArray("B\xe4r.jpg") << false;
        QTest::newRow("lone continuation") << QByteArray("\x80.jpg") << false;
    }
    void faithfulNames() {
        QFETCH(QByteArray, name);
        QFETCH(bool, faithful);
        QCOMPARE(IsFaithfulFileName(name), faithful);
    }

    void recycleFileGoesToTheSandboxTrash() {
        fixtures::Tree tree;
        QVERIFY(tree.file(QStringLiteral("Defekt1_a.jpg"), "abc"));
        QVERIFY(RecycleFile(tree.path(QStringLiteral("Defekt1_a.jpg"))));
        QVERIFY(!tree.exists(QStringLiteral("Defekt1_a.jpg")));
        const QString trash =
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
            QStringLiteral("/Trash/files/");
        QVERIFY(trash.startsWith(testing::sandboxRoot()));
        QVERIFY(!QDir(trash).entryList({QStringLiteral("Defekt1_a*")}, QDir::Files).isEmpty());
        QVERIFY(!RecycleFile(tree.path(QStringLiteral("gone.jpg"))));
    }
};

KELVASTO_REGISTER_TEST(TestPathUtils)
#include "test_path_utils.moc"
