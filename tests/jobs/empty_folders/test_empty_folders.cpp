#include "common/file_fixtures.h"
#include "common/recording_job_host.h"
#include "common/test_registry.h"
#include "fs/file_name_bytes.h"
#include "i18n/catalogue.h"
#include "jobs/empty_folders/empty_folders.h"

#include <QDirIterator>
#include <QTest>

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Builds a tree from "d:folder", "f:file:size", "l:link:target", "p:fifo".
bool build(fixtures::Tree& tree, const QStringList& entries) {
    for (const QString& entry : entries) {
        const QStringList parts = entry.split(QLatin1Char(':'));
        const QString path = tree.path(parts.value(1));
        bool ok = false;
        if (parts[0] == "d") {
            ok = tree.folder(parts[1]);
        } else if (parts[0] == "f") {
            ok = tree.file(parts[1], QByteArray(parts[2].toInt(), 'x'));
        } else if (parts[0] == "l") {
            ok = QDir().mkpath(QFileInfo(path).path()) &&
                 ::symlink(parts[2].toUtf8().constData(), QFile::encodeName(path).constData()) == 0;
        } else if (parts[0] == "p") {
            ok = QDir().mkpath(QFileInfo(path).path()) &&
                 ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
        }
        if (!ok)
            return false;
    }
    return true;
}

QStringList relative(const fixtures::Tree& tree, const QStringList& paths) {
    QStringList out;
    for (const QString& path : paths)
        out.append(path.mid(tree.root().size()));
    return out;
}

// The empty folders computed the plain way: every folder collected, then
// the size of each measured on its own, from the last to the first.
QStringList plainEmptyFolders(JobHost& host, const QString& start) {
    QStringList list;
    CollectFolders(host, start, list);
    for (qsizetype i = list.size() - 1; i >= 0; --i) {
        if (FolderSize(list[i], true) != std::optional<qint64>(0))
            list.removeAt(i);
        else
            list[i].chop(1);
    }
    list.removeOne(start.chopped(1));
    return list;
}

// Where the trash keeps what was at `original`, empty when it is not there.
QString trashedCopyOf(const QString& original) {
    const QString trash = testing::dataHome() + QStringLiteral("/Trash/");
    QDirIterator infos(trash + "info", {"*.trashinfo"}, QDir::Files);
    while (infos.hasNext()) {
        const QString info = infos.next();
        if (testing::readFile(info).contains("\nPath=" + QFile::encodeName(original) + "\n"))
            return trash + "files/" + QFileInfo(info).completeBaseName();
    }
    return {};
}

// A chain of folders whose full path is longer than the system takes, with a
// file at its bottom: the walk cannot list what lies below PATH_MAX.
bool makeTooDeepChain(const QString& base) {
    int fd = ::open(QFile::encodeName(base).constData(), O_RDONLY | O_DIRECTORY);
    const QByteArray name(200, 'n');
    for (int depth = 0; fd >= 0 && depth * (name.size() + 1) < PATH_MAX + 400; ++depth) {
        ::mkdirat(fd, name.constData(), 0700);
        const int next = ::openat(fd, name.constData(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
    }
    const bool ok = fd >= 0 && ::openat(fd, "deep.jpg", O_CREAT | O_WRONLY, 0600) >= 0;
    return ok;
}

// Removes what makeTooDeepChain made (a plain recursive removal cannot).
void removeTooDeepChain(int parentFd, const char* name) {
    const int fd = ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
    if (fd < 0)
        return;
    ::unlinkat(fd, "deep.jpg", 0);
    removeTooDeepChain(fd, QByteArray(200, 'n').constData());
    ::close(fd);
    ::unlinkat(parentFd, name, AT_REMOVEDIR);
}

// Writes into a folder while the question is open, as a user might.
class LateWriterHost : public RecordingJobHost {
public:
    QString lateFile;
    int showMessage(const QString& text, MessageKind kind, DialogButtons buttons) override {
        testing::writeFile(lateFile, "late");
        return RecordingJobHost::showMessage(text, kind, buttons);
    }
};

} // namespace

class TestEmptyFolders : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(10000); }
    void cleanup() { SetLanguageOffset(0); }

    void emptyFolders_data() {
        QTest::addColumn<QStringList>("tree");
        QTest::addColumn<QStringList>("empty");
        QTest::newRow("B empty, C 5 bytes, D with empty E")
            << QStringList{"d:B", "f:C/x.jpg:5", "d:D/E"} << QStringList{"B", "D", "D/E"};
        QTest::newRow("zero-length file")
            << QStringList{"f:X/z.jpg:0", "f:Y/y.jpg:3"} << QStringList{"X"};
        QTest::newRow("hidden subfolder with a file")
            << QStringList{"f:H/.hid/f.jpg:3"} << QStringList{};
        QTest::newRow("hidden subfolder without bytes")
            << QStringList{"d:H/.hid"} << QStringList{"H"};
        QTest::newRow("hidden file") << QStringList{"f:H/.x:1"} << QStringList{};
        QTest::newRow("start without bytes never listed")
            << QStringList{"d:a/b/c", "f:z.jpg:0", "d:a/d"}
            << QStringList{"a", "a/b", "a/b/c", "a/d"};
        QTest::newRow("no subfolders") << QStringList{"f:x.jpg:5"} << QStringList{};
        QTest::newRow("only a symbolic link")
            << QStringList{"f:C/x.jpg:5", "l:L/link:../C/x.jpg"} << QStringList{};
        QTest::newRow("only a dangling link")
            << QStringList{"l:M/dangling:nowhere"} << QStringList{};
        QTest::newRow("link to an empty folder not followed")
            << QStringList{"d:E", "l:K/toE:../E"} << QStringList{"E"};
        QTest::newRow("link to a full folder not followed")
            << QStringList{"f:F/x.jpg:5", "d:K/empty", "l:K/empty/toF:../../F"} << QStringList{};
        QTest::newRow("only a FIFO") << QStringList{"p:P/fifo"} << QStringList{};
        QTest::newRow("order ignores case") << QStringList{"d:b", "d:A", "d:a_x", "d:C/d"}
                                            << QStringList{"A", "a_x", "b", "C", "C/d"};
        QTest::newRow("below a dot folder not listed")
            << QStringList{"d:.git/objects"} << QStringList{};
    }
    void emptyFolders() {
        QFETCH(QStringList, tree);
        QFETCH(QStringList, empty);
        fixtures::Tree folder;
        QVERIFY(build(folder, tree));
        RecordingJobHost host;
        QStringList list{"left over"};
        CollectEmptyFolders(host, folder.root(), list);
        QCOMPARE(relative(folder, list), empty);
        QCOMPARE(list, plainEmptyFolders(host, folder.root()));
    }

    // A sub-folder that cannot be listed might hold anything: neither it nor
    // any folder above it is empty; its empty siblings still are.
    void unlistableFolderKeepsParents() {
        fixtures::Tree tree;
        QVERIFY(build(tree, {"d:U/inner", "d:S"}));
        QVERIFY(makeTooDeepChain(tree.path("U/inner")));
        RecordingJobHost host;
        QStringList list;
        CollectEmptyFolders(host, tree.root(), list);
        QCOMPARE(relative(tree, list), QStringList{"S"});
        // And the user learns why U stays: the folder that cannot be listed
        // is named with its reason.
        QCOMPARE(host.skips().size(), 1);
        QVERIFY2(host.skips().first().path.startsWith(tree.path("U/inner/")) &&
                     host.skips().first().reason.startsWith("folder cannot be listed ("),
                 qPrintable(host.skips().first().reason));
        QCOMPARE(FolderSize(tree.path("U"), true), std::nullopt);
        QCOMPARE(list, plainEmptyFolders(host, tree.root()));
        const int fd = ::open(QFile::encodeName(tree.path("U/inner")).constData(), O_RDONLY);
        removeTooDeepChain(fd, QByteArray(200, 'n').constData());
        ::close(fd);
    }

    void unreadableFolderKeepsParents() {
        if (::geteuid() == 0)
            QSKIP("permissions do not hold for root");
        fixtures::Tree tree;
        QVERIFY(build(tree, {"f:P/locked/photo.jpg:100", "d:S"}));
        QVERIFY(::chmod(QFile::encodeName(tree.path("P/locked")).constData(), 0) == 0);
        RecordingJobHost host;
        QStringList list;
        CollectEmptyFolders(host, tree.root(), list);
        ::chmod(QFile::encodeName(tree.path("P/locked")).constData(), 0700);
        QCOMPARE(relative(tree, list), QStringList{"S"});
    }

    // A folder whose name is not in the file system's encoding cannot be
    // worked on: it is named by its bytes, not removed, and not silent.
    void folderNamedOutsideTheEncodingIsNamed() {
        fixtures::Tree tree;
        QVERIFY(build(tree, {"d:S"}));
        const QByteArray bad = QFile::encodeName(tree.root()) + "bad\xff";
        QVERIFY(::mkdir(bad.constData(), 0700) == 0);
        RecordingJobHost host;
        QStringList list;
        CollectEmptyFolders(host, tree.root(), list);
        ::rmdir(bad.constData());
        QCOMPARE(relative(tree, list), QStringList{"S"});
        QCOMPARE(host.skippedPaths(), QStringList{DecodeNameLosslessly(bad + '/')});
    }

    void nothingToRemoveShows9090() {
        fixtures::Tree tree;
        QVERIFY(build(tree, {"f:C/x.jpg:5"}));
        RecordingJobHost host;
        const EmptyFolderRemoval removal = RemoveEmptyFolders(host, tree.root());
        QCOMPARE(removal.found, 0);
        QCOMPARE(host.messages().size(), 1);
        QCOMPARE(host.messages()[0].text, "No empty folders found.");
        QCOMPARE(host.messages()[0].kind, MessageKind::Information);
        QCOMPARE(host.messages()[0].buttons, ButtonBit(DialogButton::OK));
    }

    void refusedQuestionRemovesNothing_data() {
        QTest::addColumn<int>("answer");
        QTest::newRow("No") << int(DialogResult::No);
        QTest::newRow("close box") << int(DialogResult::Cancel);
    }
    void refusedQuestionRemovesNothing() {
        QFETCH(int, answer);
        fixtures::Tree tree;
        QVERIFY(build(tree, {"d:B", "f:C/x.jpg:5", "d:D/E"}));
        RecordingJobHost host;
        host.queueAnswer(answer);
        const EmptyFolderRemoval removal = RemoveEmptyFolders(host, tree.root());
        QCOMPARE(removal.found, 3);
        QVERIFY(!removal.confirmed);
        QCOMPARE(host.messages().size(), 1);
        QCOMPARE(host.messages()[0].text,
                 "3 empty folders found.\nDo you really want to delete the folders ?");
        QCOMPARE(host.messages()[0].kind, MessageKind::Confirmation);
        QCOMPARE(host.messages()[0].buttons, DialogButton::Yes | DialogButton::No);
        QVERIFY(tree.exists("B") && tree.exists("D/E"));
    }

    void confirmedRemovalTrashesDeepestFirst() {
        fixtures::Tree tree;
        QVERIFY(build(tree, {"d:B", "f:C/x.jpg:5", "d:D/E"}));
        RecordingJobHost host;
        host.queueAnswer(DialogResult::Yes);
        const EmptyFolderRemoval removal = RemoveEmptyFolders(host, tree.root());
        QVERIFY(removal.confirmed);
        QCOMPARE(removal.trashed, (QStringList{tree.path("D/E"), tree.path("D"), tree.path("B")}));
        QVERIFY(host.skips().isEmpty());
        QVERIFY(!tree.exists("B") && !tree.exists("D"));
        QVERIFY(tree.exists("C/x.jpg"));
        // E went first, on its own; D followed without it.
        const QString trashedE = trashedCopyOf(tree.path("D/E"));
        const QString trashedD = trashedCopyOf(tree.path("D"));
        QVERIFY(QFileInfo(trashedE).isDir());
        QVERIFY(QFileInfo(trashedD).isDir());
        QVERIFY(QDir(trashedD).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
        QVERIFY(!trashedCopyOf(tree.path("B")).isEmpty());
        QCOMPARE(host.busyDepth(), 0);
        QCOMPARE(host.refreshCount(), 1);
    }

    void folderFilledMeanwhileStays() {
        fixtures::Tree tree;
        QVERIFY(build(tree, {"d:B", "d:D/E"}));
        LateWriterHost host;
        host.lateFile = tree.path("D/E/new.jpg");
        host.queueAnswer(DialogResult::Yes);
        const EmptyFolderRemoval removal = RemoveEmptyFolders(host, tree.root());
        QCOMPARE(removal.trashed, QStringList{tree.path("B")});
        // Both named at the end: the window lists them, the tool prints them.
        QCOMPARE(host.skippedPaths(), QStringList({tree.path("D/E"), tree.path("D")}));
        QCOMPARE(host.reportDepth(), 0);
        QVERIFY(tree.exists("D/E/new.jpg"));
        QVERIFY(!tree.exists("B"));
    }
};

KELVASTO_REGISTER_TEST(TestEmptyFolders)
#include "test_empty_folders.moc"
