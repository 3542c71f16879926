#include "common/file_fixtures.h"
#include "common/skip_fixtures.h"
#include "common/test_registry.h"
#include "fs/file_ops.h"
#include "fs/file_rewrite.h"
#include "imaging/picture_files.h"

#include <QDeadlineTimer>
#include <QTest>

#include <memory>

#include <csignal>

#include <sys/stat.h>
#include <sys/wait.h>
#include <utime.h>

namespace {

struct stat statOf(const QString& path) {
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st;
}

// Names in the folder that are this program's temporary files.
QStringList temporaries(const QString& folder) {
    return QDir(folder).entryList({QString::fromLatin1(kTemporaryPrefix) + "*"},
                                  QDir::Files | QDir::Hidden | QDir::System);
}

// A rewrite of `path` killed before it was put in place: a child process
// stages it and ends without cleaning up.
bool leaveRewriteTemporary(const QString& path) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        StagedRewrites rewrite;
        const std::unique_ptr<StagedFile> staged =
            rewrite.prepare(RewriteSource(path), {ByteRange{0, 2}});
        ::_exit(staged ? 0 : 1);
    }
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

// A picture save killed while it wrote: a child saves a large picture over
// and over and is killed once its temporary file shows up. False when no
// kill came in time to catch one.
bool leaveSaveTemporary(const QString& path) {
    const QString folder = QFileInfo(path).path();
    for (int attempt = 0; attempt < 5; ++attempt) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            Picture picture(3000, 2000);
            picture.fill(90, 120, 150);
            for (;;)
                SaveAsJpeg(picture, path);
        }
        QDeadlineTimer deadline(10000);
        while (temporaries(folder).isEmpty() && !deadline.hasExpired())
            ::usleep(200);
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        if (!temporaries(folder).isEmpty())
            return true;
    }
    return false;
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

    // Whatever way a copy or move ends, nothing but the result is left in
    // the target folder, on the same and on another file system.
    void copiesAndMovesLeaveNoTemporary_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<bool>("otherFileSystem");
        QTest::addColumn<bool>("targetTaken");
        QTest::addColumn<bool>("succeeds");
        for (bool other : {false, true}) {
            const char* where = other ? "across" : "same";
            QTest::addRow("copy %s", where) << "copy" << other << false << true;
            QTest::addRow("copy %s onto taken", where) << "copy" << other << true << false;
            QTest::addRow("move %s", where) << "move" << other << false << true;
            QTest::addRow("move %s onto taken", where) << "move" << other << true << false;
        }
    }
    void copiesAndMovesLeaveNoTemporary() {
        QFETCH(QString, operation);
        QFETCH(bool, otherFileSystem);
        QFETCH(bool, targetTaken);
        QFETCH(bool, succeeds);
        const QString other = otherFileSystemFolder();
        if (otherFileSystem && other.isEmpty())
            QSKIP("no second file system");
        fixtures::Tree tree;
        QTemporaryDir target((otherFileSystem ? other : QDir::tempPath()) + "/kelvasto-t-XXXXXX");
        const QByteArray content = fixtures::soundJpeg(700000);
        QVERIFY(tree.file("a.jpg", content));
        const QString to = target.path() + "/a.jpg";
        if (targetTaken)
            QVERIFY(testing::writeFile(to, "taken"));
        const bool done = operation == "copy" ? CopyFileNoOverwrite(tree.path("a.jpg"), to, true)
                                              : MoveFileNoOverwrite(tree.path("a.jpg"), to);
        QCOMPARE(done, succeeds);
        QCOMPARE(testing::readFile(to), succeeds ? content : QByteArray("taken"));
        QCOMPARE(tree.exists("a.jpg"), operation == "copy" || !succeeds);
        QCOMPARE(QDir(target.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"a.jpg"}));
    }

    // A run killed while copying leaves a temporary file; the next run
    // removes such leftovers, but never a file another writer still holds,
    // nor anything that merely looks alike.
    void leftoverTemporariesAreRemoved_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("removed");
        QTest::newRow("half a copy") << ".kelvasto-tmp-a1B2c3"
                                     << "file" << true;
        QTest::newRow("empty log temporary") << ".kelvasto-tmp-zzzzzz"
                                             << "empty" << true;
        QTest::newRow("still being written") << ".kelvasto-tmp-held00"
                                             << "held" << false;
        QTest::newRow("killed rewrite") << QString() << "rewrite" << true;
        QTest::newRow("killed picture save") << QString() << "save" << true;
        QTest::newRow("user's file") << "kelvasto-tmp-a1B2c3"
                                     << "file" << false;
        QTest::newRow("user's file like a temporary") << ".kelvasto-a1B2c3"
                                                      << "file" << false;
        QTest::newRow("user's picture") << "Defekt1_a.jpg"
                                        << "file" << false;
        QTest::newRow("folder of that name") << ".kelvasto-tmp-folder"
                                             << "folder" << false;
        QTest::newRow("link of that name") << ".kelvasto-tmp-link00"
                                           << "link" << false;
    }
    void leftoverTemporariesAreRemoved() {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(bool, removed);
        fixtures::Tree tree;
        QVERIFY(tree.file("keep.jpg", "keep"));
        if (kind == "rewrite" || kind == "save") {
            QVERIFY(kind == "rewrite" ? leaveRewriteTemporary(tree.path("keep.jpg"))
                                      : leaveSaveTemporary(tree.path("saved.jpg")));
            QCOMPARE(temporaries(tree.root()).size(), 1);
            name = temporaries(tree.root()).first();
        }
        const QString path = tree.path(name);
        FileDescriptor held;
        if (kind == "file" || kind == "empty" || kind == "held")
            held = fixtures::leaveTemporary(path, kind == "empty" ? QByteArray() : "half a pict",
                                            kind == "held");
        if (kind == "folder")
            QVERIFY(tree.folder(name));
        if (kind == "link")
            QVERIFY(QFile::link(tree.path("keep.jpg"), path));
        QCOMPARE(RemoveLeftoverTemporaries(tree.root()), removed ? 1 : 0);
        QCOMPARE(QFileInfo(path).exists() || QFileInfo(path).isSymLink(), !removed);
        QCOMPARE(tree.read("keep.jpg"), QByteArray("keep"));
    }

    // A copy killed half-way into another file system leaves only its
    // temporary file (never a half picture under the final name); the next
    // move into that folder clears it and completes.
    void killedCrossFileSystemCopyLeavesOnlyATemporary() {
        const QString other = otherFileSystemFolder();
        fixtures::Tree tree;
        QTemporaryDir target((other.isEmpty() ? QDir::tempPath() : other) + "/kelvasto-k-XXXXXX");
        const QByteArray content = fixtures::truncatedJpeg(200000);
        QVERIFY(tree.file("a.jpg", content));
        fixtures::leaveTemporary(target.path() + "/.kelvasto-tmp-Kill01", content.left(90000),
                                 false);
        QCOMPARE(temporaries(target.path()).size(), 1);
        QCOMPARE(RemoveLeftoverTemporaries(target.path()), 1);
        QVERIFY(MoveFileNoOverwrite(tree.path("a.jpg"), target.path() + "/Defekt1_a.jpg"));
        QCOMPARE(testing::readFile(target.path() + "/Defekt1_a.jpg"), content);
        QVERIFY(temporaries(target.path()).isEmpty());
    }

    void sameFileContent_data() {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QString>("second"); // bytes, or "hard link", "symlink", "missing"
        QTest::addColumn<bool>("same");
        const QByteArray big = fixtures::truncatedJpeg(600000);
        QByteArray bigChanged = big;
        bigChanged[599999] = 'X';
        QTest::newRow("identical") << big << QString::fromLatin1(big) << true;
        QTest::newRow("last byte differs") << big << QString::fromLatin1(bigChanged) << false;
        QTest::newRow("one byte shorter") << big << QString::fromLatin1(big.chopped(1)) << false;
        QTest::newRow("both empty") << QByteArray() << QString() << true;
        QTest::newRow("hard link") << big << "hard link" << true;
        QTest::newRow("link to it") << big << "symlink" << false;
        QTest::newRow("missing") << big << "missing" << false;
    }
    void sameFileContent() {
        QFETCH(QByteArray, first);
        QFETCH(QString, second);
        QFETCH(bool, same);
        fixtures::Tree tree;
        QVERIFY(tree.file("a.jpg", first));
        const QString b = tree.path("b.jpg");
        if (second == "hard link")
            QVERIFY(::link(QFile::encodeName(tree.path("a.jpg")).constData(),
                           QFile::encodeName(b).constData()) == 0);
        else if (second == "symlink")
            QVERIFY(QFile::link(tree.path("a.jpg"), b));
        else if (second != "missing")
            QVERIFY(tree.file("b.jpg", second.toLatin1()));
        QCOMPARE(SameFileContent(tree.path("a.jpg"), b), same);
        QCOMPARE(SameFileContent(b, tree.path("a.jpg")), same);
    }

    // Below the system's path limit every operation works as above it.
    void pathsLongerThanTheLimit() {
        fixtures::Tree tree;
        fixtures::DeepFolder deep(tree.root(), 40, 120);
        QVERIFY(deep.valid());
        const QByteArray content = fixtures::truncatedJpeg(5000);
        QVERIFY(deep.write("a.jpg", content));
        const QString a = deep.path() + "a.jpg";
        QVERIFY(FileExists(a));
        QVERIFY(CopyFileNoOverwrite(a, deep.path() + "b.jpg"));
        QVERIFY(SameFileContent(a, deep.path() + "b.jpg"));
        QVERIFY(!CopyFileNoOverwrite(a, deep.path() + "b.jpg"));
        QVERIFY(MoveFileNoOverwrite(a, tree.path("out.jpg")));
        QVERIFY(!deep.exists("a.jpg"));
        QCOMPARE(tree.read("out.jpg"), content);
        QVERIFY(MoveFileNoOverwrite(tree.path("out.jpg"), a));
        QVERIFY(deep.exists("a.jpg"));
        QVERIFY(ReplaceFileAtomically(deep.path() + "log.txt", "pairs"));
        QVERIFY(RemoveFile(deep.path() + "b.jpg"));
        QVERIFY(!deep.exists("b.jpg"));
        QVERIFY(deep.write(".kelvasto-tmp-deep00", "half"));
        QCOMPARE(RemoveLeftoverTemporaries(deep.path()), 1);
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
        // A new log gets the usual permissions, not those of a temporary file.
        const mode_t mask = ::umask(022);
        QVERIFY(ReplaceFileAtomically(tree.path("new.txt"), "x"));
        ::umask(mask);
        QCOMPARE(statOf(tree.path("new.txt")).st_mode & 07777, mode_t(0644));
    }
};

KELVASTO_REGISTER_TEST(TestFileOps)
#include "test_file_ops.moc"
