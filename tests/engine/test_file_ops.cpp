#include "common/test_registry.h"
#include "engine/file_ops.h"
#include "engine_fixtures.h"

#include <QTest>

#include <sys/stat.h>
#include <utime.h>

namespace {

struct stat statOf(const QString& path) {
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st;
}

void setOldTime(const QString& path) {
    struct utimbuf times {};
    times.actime = 1000000000;
    times.modtime = 1000000000; // 2001-09-09
    ::utime(QFile::encodeName(path).constData(), &times);
}

// A folder on another file system than TMPDIR, when the machine has one.
QString otherFileSystemFolder() {
    const QString shm = QStringLiteral("/dev/shm");
    if (!QFileInfo(shm).isWritable())
        return {};
    if (statOf(shm).st_dev == statOf(QDir::tempPath()).st_dev)
        return {};
    return shm;
}

} // namespace

class TestFileOps : public QObject {
    Q_OBJECT
private slots:
    void copyKeepsContentTimeAndPermissions() {
        fixtures::Tree tree;
        const QByteArray content = fixtures::soundJpeg(300000);
        QVERIFY(tree.file("a.jpg", content));
        QVERIFY(::chmod(QFile::encodeName(tree.path("a.jpg")).constData(), 0640) == 0);
        setOldTime(tree.path("a.jpg"));
        QVERIFY(CopyFileNoOverwrite(tree.path("a.jpg"), tree.path("b.jpg")));
        QCOMPARE(tree.read("b.jpg"), content);
        QCOMPARE(statOf(tree.path("b.jpg")).st_mtime, time_t(1000000000));
        QCOMPARE(statOf(tree.path("b.jpg")).st_mode & 07777, mode_t(0640));
        QVERIFY(tree.exists("a.jpg"));

        QVERIFY(::chmod(QFile::encodeName(tree.path("a.jpg")).constData(), 04755) == 0);
        QVERIFY(CopyFileNoOverwrite(tree.path("a.jpg"), tree.path("c.jpg")));
        QCOMPARE(statOf(tree.path("c.jpg")).st_mode & 07777, mode_t(0755));
    }

    void copyNeverOverwritesOrLeavesPartialFiles() {
        fixtures::Tree tree;
        QVERIFY(tree.file("a.jpg", "new"));
        QVERIFY(tree.file("b.jpg", "old"));
        QVERIFY(!CopyFileNoOverwrite(tree.path("a.jpg"), tree.path("b.jpg")));
        QCOMPARE(tree.read("b.jpg"), QByteArray("old"));
        QVERIFY(!CopyFileNoOverwrite(tree.path("missing.jpg"), tree.path("c.jpg")));
        QVERIFY(!tree.exists("c.jpg"));
        QVERIFY(!CopyFileNoOverwrite(tree.path("a.jpg"), tree.path("no/folder/c.jpg")));
        QVERIFY(tree.folder("dir"));
        QVERIFY(!CopyFileNoOverwrite(tree.path("dir"), tree.path("d.jpg")));
        QVERIFY(!tree.exists("d.jpg"));
    }

    // A copy that runs out of disk leaves nothing behind; a move across file
    // systems that cannot finish its copy leaves the file where it was.
    void fullDiskLeavesNoPartialFile() {
        fixtures::Tree tree;
        const QByteArray big(64 * 1024, 'x');
        QVERIFY(tree.file("big.jpg", big));
        const QString other = otherFileSystemFolder();
        QTemporaryDir target(other.isEmpty() ? tree.path("t-XXXXXX")
                                             : other + QStringLiteral("/kelvasto-full-XXXXXX"));
        QVERIFY(target.isValid());
        {
            fixtures::FileSizeLimit disk(4096);
            QVERIFY(!CopyFileNoOverwrite(tree.path("big.jpg"), tree.path("copy.jpg")));
            if (!other.isEmpty())
                QVERIFY(!MoveFileNoOverwrite(tree.path("big.jpg"), target.path() + "/big.jpg"));
        }
        QVERIFY(!tree.exists("copy.jpg"));
        QCOMPARE(tree.read("big.jpg"), big);
        QVERIFY(!QFileInfo::exists(target.path() + "/big.jpg"));
    }

    void moveNeverReplacesAnExistingFile() {
        fixtures::Tree tree;
        QVERIFY(tree.file("a.jpg", "moved"));
        QVERIFY(tree.file("taken.jpg", "keep"));
        QVERIFY(!MoveFileNoOverwrite(tree.path("a.jpg"), tree.path("taken.jpg")));
        QCOMPARE(tree.read("taken.jpg"), QByteArray("keep"));
        QCOMPARE(tree.read("a.jpg"), QByteArray("moved"));
        QVERIFY(MoveFileNoOverwrite(tree.path("a.jpg"), tree.path("b.jpg")));
        QVERIFY(!tree.exists("a.jpg"));
        QCOMPARE(tree.read("b.jpg"), QByteArray("moved"));
        QVERIFY(!MoveFileNoOverwrite(tree.path("gone.jpg"), tree.path("c.jpg")));
        QVERIFY(!MoveFileNoOverwrite(QString(), tree.path("c.jpg")));
        QVERIFY(!MoveFileNoOverwrite(tree.path("b.jpg"), QString()));
    }

    void moveAcrossFileSystems() {
        const QString other = otherFileSystemFolder();
        if (other.isEmpty())
            QSKIP("no second file system to move to");
        QTemporaryDir target(other + QStringLiteral("/kelvasto-move-XXXXXX"));
        QVERIFY(target.isValid());
        fixtures::Tree tree;
        QVERIFY(tree.file("a.jpg", "across"));
        setOldTime(tree.path("a.jpg"));
        const QString to = target.path() + QStringLiteral("/a.jpg");
        QVERIFY(MoveFileNoOverwrite(tree.path("a.jpg"), to));
        QVERIFY(!tree.exists("a.jpg"));
        QCOMPARE(testing::readFile(to), QByteArray("across"));
        QCOMPARE(statOf(to).st_mtime, time_t(1000000000));

        QVERIFY(tree.file("b.jpg", "second"));
        QVERIFY(!MoveFileNoOverwrite(tree.path("b.jpg"), to));
        QCOMPARE(testing::readFile(to), QByteArray("across"));
        QCOMPARE(tree.read("b.jpg"), QByteArray("second"));
    }

    void atomicReplaceKeepsPermissions() {
        fixtures::Tree tree;
        QVERIFY(tree.file("Protokoll.txt", "old content"));
        QVERIFY(::chmod(QFile::encodeName(tree.path("Protokoll.txt")).constData(), 0604) == 0);
        QVERIFY(ReplaceFileAtomically(tree.path("Protokoll.txt"), "new"));
        QCOMPARE(tree.read("Protokoll.txt"), QByteArray("new"));
        QCOMPARE(statOf(tree.path("Protokoll.txt")).st_mode & 07777, mode_t(0604));
        QCOMPARE(tree.names(QString()), QStringList({"Protokoll.txt"}));
        QVERIFY(!ReplaceFileAtomically(tree.path("missing/Protokoll.txt"), "x"));
    }
};

KELVASTO_REGISTER_TEST(TestFileOps)
#include "test_file_ops.moc"
