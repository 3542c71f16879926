#include "common/file_fixtures.h"
#include "common/recording_job_host.h"
#include "common/skip_fixtures.h"
#include "common/test_registry.h"
#include "fs/file_collection.h"
#include "fs/file_name_bytes.h"
#include "i18n/own_texts.h"

#include <QTest>

#include <algorithm>

#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

// The two calls every JPEG job makes, as paths relative to the tree.
QStringList collectJpegs(RecordingJobHost& host, const fixtures::Tree& tree) {
    QStringList list;
    CollectFilesRecursive(host, list, tree.root() + QStringLiteral("*.jpg"));
    CollectFilesRecursive(host, list, tree.root() + QStringLiteral("*.jpeg"));
    QStringList relative;
    for (const QString& path : list)
        relative.append(path.mid(tree.root().size()));
    return relative;
}

} // namespace

class TestFileCollection : public QObject {
    Q_OBJECT
private slots:
    void maskMatching_data() {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("matches");
        QTest::newRow("plain") << "*.jpg"
                               << "a.jpg" << true;
        QTest::newRow("capitals") << "*.jpg"
                                  << "photo.JPG" << true;
        QTest::newRow("umlaut case") << "ä*.jpg"
                                     << "Änderung.jpg" << true;
        QTest::newRow("longer extension") << "*.jpg"
                                          << "x.jpg.txt" << false;
        QTest::newRow("jpeg is not jpg") << "*.jpg"
                                         << "b.jpeg" << false;
        QTest::newRow("hidden file") << "*.jpg"
                                     << ".x.jpg" << true;
        QTest::newRow("only extension") << "*.jpg"
                                        << ".jpg" << true;
        QTest::newRow("question one char") << "?.jpg"
                                           << "a.jpg" << true;
        QTest::newRow("question not zero") << "?.jpg"
                                           << ".jpg" << false;
        QTest::newRow("question not two") << "?.jpg"
                                          << "ab.jpg" << false;
        QTest::newRow("two stars backtrack") << "*a*b.jpg"
                                             << "xaayab.jpg" << true;
        QTest::newRow("star alone") << "*"
                                    << "" << true;
        QTest::newRow("literal mismatch") << "abc"
                                          << "abd" << false;
        QTest::newRow("many stars no blow-up")
            << "*a*a*a*a*a*a*a*a*b" << QString(200, QLatin1Char('a')) << false;
    }
    void maskMatching() {
        QFETCH(QString, mask);
        QFETCH(QString, name);
        QFETCH(bool, matches);
        QCOMPARE(MaskMatches(mask, name), matches);
    }

    void orderIsDepthFirstAndJpgBeforeJpeg() {
        fixtures::Tree tree;
        QVERIFY(tree.file("a.jpg", "x"));
        QVERIFY(tree.file("sub/b.jpeg", "x"));
        QVERIFY(tree.file("sub/c.jpg", "x"));
        RecordingJobHost host;
        QCOMPARE(collectJpegs(host, tree), QStringList({"a.jpg", "sub/c.jpg", "sub/b.jpeg"}));
    }

    // Within a folder, names sort ignoring case, equal ones by their bytes;
    // the plain-ASCII fast path must agree with the general comparison,
    // also for the signs between the capitals and the small letters.
    void folderOrderIgnoresCase() {
        fixtures::Tree tree;
        QStringList names;
        for (const char* name :
             {"B.jpg", "a.jpg", "_x.jpg", "[1].jpg", "\xc3\x84.jpg", "\xc3\xa4.jpg", "A.jpg",
              "ab.jpg", "`q.jpg", "z.jpg", "Z1.jpg", "a1.jpg",
              "\xc3\xa4"
              "b.jpg",
              "Ab.jpg", "^.jpg", "~.jpg", "0.jpg"}) {
            names << QString::fromUtf8(name);
            QVERIFY(tree.file(names.back(), "x"));
        }
        std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
            const int c = a.compare(b, Qt::CaseInsensitive);
            return c != 0 ? c < 0 : a.toUtf8() < b.toUtf8();
        });
        RecordingJobHost host;
        QCOMPARE(collectJpegs(host, tree), names);
    }

    void oneWalkEqualsOneCallPerMask_data() {
        QTest::addColumn<QStringList>("masks");
        QTest::newRow("jpeg jobs") << QStringList{"*.jpg", "*.jpeg"};
        QTest::newRow("overlapping masks") << QStringList{"*.jpg", "*", "?.JPG"};
        QTest::newRow("non-ascii mask") << QStringList{"ä*", "*.jpeg"};
    }
    void oneWalkEqualsOneCallPerMask() {
        QFETCH(QStringList, masks);
        fixtures::Tree tree;
        for (const char* name :
             {"a.jpg", "b.jpeg", "x/Äpfel.jpg", "x/ä.jpeg", "x/y/c.JPG", "z/d.txt", "z/e.jpg"})
            QVERIFY(tree.file(QString::fromUtf8(name), "x"));
        RecordingJobHost host;
        QStringList oneCallEach;
        for (const QString& mask : masks)
            CollectFilesRecursive(host, oneCallEach, tree.root() + mask);
        QStringList oneWalk;
        CollectFilesRecursive(host, oneWalk, tree.root(), masks);
        QCOMPARE(oneWalk, oneCallEach);
        QVERIFY(!oneWalk.isEmpty());
    }

    void listingIsSortedIgnoringCaseThenByBytes() {
        fixtures::Tree tree;
        for (const char* name :
             {"b.jpg", "B.jpg", "a.jpg", "C.jpg", "zz/x.jpg", "Y/x.jpg", "y2/x.jpg"})
            QVERIFY(tree.file(QString::fromLatin1(name), "x"));
        RecordingJobHost host;
        QCOMPARE(collectJpegs(host, tree), QStringList({"a.jpg", "B.jpg", "b.jpg", "C.jpg",
                                                        "Y/x.jpg", "y2/x.jpg", "zz/x.jpg"}));
    }

    void hiddenFilesInHiddenFoldersOut() {
        fixtures::Tree tree;
        QVERIFY(tree.file(".x.jpg", "x"));
        QVERIFY(tree.file("photo.JPG", "x"));
        QVERIFY(tree.file(".cache/in-cache.jpg", "x"));
        QVERIFY(tree.file(".hidden/deep/in-hidden.jpg", "x"));
        QVERIFY(tree.file("x.jpg.txt", "x"));
        RecordingJobHost host;
        QCOMPARE(collectJpegs(host, tree), QStringList({".x.jpg", "photo.JPG"}));
    }

    void linksAndSpecialFilesNeitherCollectedNorFollowed() {
        fixtures::Tree tree;
        QVERIFY(tree.file("real/a.jpg", "x"));
        QVERIFY(tree.file("outside/b.jpg", "x"));
        QVERIFY(tree.fifo("fifo.jpg"));
        QVERIFY(QFile::link(tree.path("real/a.jpg"), tree.path("link.jpg")));
        QVERIFY(QFile::link(tree.path("outside"), tree.path("real/linked-folder")));
        QVERIFY(QFile::link(tree.path("real"), tree.path("real/loop")));
        QVERIFY(QFile::link(tree.path("nowhere"), tree.path("dangling.jpg")));
        RecordingJobHost host;
        QCOMPARE(collectJpegs(host, tree), QStringList({"outside/b.jpg", "real/a.jpg"}));
    }

    void unfaithfulNamesAreSkipped() {
        fixtures::Tree tree;
        QVERIFY(tree.file("good.jpg", "x"));
        const QByteArray root = QFile::encodeName(tree.root());
        QVERIFY(testing::writeFile(QFile::decodeName(root + "B\xc3\xa4r.jpg"), "x"));
        for (const QByteArray& raw : {root + "bad\xe4.jpg", root + "bad\xff"}) {
            if (raw.endsWith('\xff'))
                QVERIFY(::mkdir(raw.constData(), 0700) == 0);
            else
                QVERIFY(std::fclose(std::fopen(raw.constData(), "w")) == 0);
        }
        QVERIFY(std::fclose(std::fopen((root + "bad\xff/inside.jpg").constData(), "w")) == 0);
        RecordingJobHost host;
        QCOMPARE(collectJpegs(host, tree), QStringList({QStringLiteral("Bär.jpg"), "good.jpg"}));
        // QDir cannot name these entries, so remove them by their bytes.
        ::unlink((root + "bad\xff/inside.jpg").constData());
        ::rmdir((root + "bad\xff").constData());
        ::unlink((root + "bad\xe4.jpg").constData());
    }

    void unreadableFolderContributesNothing() {
        if (::geteuid() == 0)
            QSKIP("root reads every folder");
        fixtures::Tree tree;
        QVERIFY(tree.file("a.jpg", "x"));
        QVERIFY(tree.file("locked/b.jpg", "x"));
        QVERIFY(tree.file("z/c.jpg", "x"));
        QVERIFY(QFile::setPermissions(tree.path("locked"), QFile::Permissions()));
        fixtures::SkipRecordingHost host;
        const QStringList got = collectJpegs(host, tree);
        QFile::setPermissions(tree.path("locked"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(got, QStringList({"a.jpg", "z/c.jpg"}));
        // Once per walk of the tree: the two masks walk it twice here.
        QCOMPARE(host.skippedPaths(), QStringList({tree.path("locked/"), tree.path("locked/")}));
        QVERIFY(host.skips().at(0).reason.startsWith(OwnText("skip.folderUnreadable")));
    }

    // Nothing is left out silently: every folder that cannot be listed and
    // every name that would be mangled is reported with its reason and
    // counted, while hidden folders, links and other files than the masks'
    // are left out by rule and not reported.
    void skippedEntriesAreReported_data() {
        QTest::addColumn<QString>("trouble");
        QTest::addColumn<QStringList>("collected");
        QTest::addColumn<QStringList>("skipped"); // bytes percent-encoded
        QTest::addColumn<QString>("reason");
        QTest::newRow("folder gone before it was opened")
            << "vanishing folder" << QStringList({"a.jpg", "z/c.jpg"}) << QStringList({"gone/"})
            << "skip.folderUnreadable";
        QTest::newRow("folder swapped for a link")
            << "folder becomes link" << QStringList({"a.jpg", "z/c.jpg"}) << QStringList({"gone/"})
            << "skip.folderUnreadable";
        QTest::newRow("file name not in the encoding")
            << "bad file name" << QStringList({"a.jpg", "gone/b.jpg", "z/c.jpg"})
            << QStringList({"bad%E4.jpg"}) << "skip.nameNotFaithful";
        QTest::newRow("folder name not in the encoding")
            << "bad folder name" << QStringList({"a.jpg", "gone/b.jpg", "z/c.jpg"})
            << QStringList({"bad%FF/"}) << "skip.nameNotFaithful";
        QTest::newRow("left out by rule only")
            << "nothing" << QStringList({"a.jpg", "gone/b.jpg", "z/c.jpg"}) << QStringList() << "";
    }
    void skippedEntriesAreReported() {
        QFETCH(QString, trouble);
        QFETCH(QStringList, collected);
        QFETCH(QStringList, skipped);
        QFETCH(QString, reason);
        fixtures::Tree tree;
        QVERIFY(tree.file("a.jpg", "x"));
        QVERIFY(tree.file("gone/b.jpg", "x"));
        QVERIFY(tree.file("z/c.jpg", "x"));
        QVERIFY(tree.file(".hidden/d.jpg", "x"));
        QVERIFY(tree.file("notes.txt", "x"));
        QVERIFY(QFile::link(tree.path("a.jpg"), tree.path("link.jpg")));
        const QByteArray root = QFile::encodeName(tree.root());
        if (trouble == "bad file name")
            QVERIFY(std::fclose(std::fopen((root + "bad\xe4.jpg").constData(), "w")) == 0);
        if (trouble == "bad folder name")
            QVERIFY(::mkdir((root + "bad\xff").constData(), 0700) == 0);
        fixtures::SkipRecordingHost host;
        // Pending messages come once per folder, just before it is opened.
        host.onProcessPendingMessages([&](int call) {
            if (call != 2)
                return;
            if (trouble == "vanishing folder" || trouble == "folder becomes link") {
                QDir(tree.path("gone")).removeRecursively();
                if (trouble == "folder becomes link")
                    QFile::link(tree.path("z"), tree.path("gone"));
            }
        });
        QStringList list;
        const int count = CollectJpegFilesRecursive(host, list, tree.root());
        QStringList relative;
        for (const QString& path : list)
            relative.append(path.mid(tree.root().size()));
        QCOMPARE(relative, collected);
        QStringList expected;
        for (const QString& path : skipped)
            // Its bytes, kept whole: two such names never become one.
            expected.append(
                DecodeNameLosslessly(root + QByteArray::fromPercentEncoding(path.toLatin1())));
        QCOMPARE(host.skippedPaths(), expected);
        QCOMPARE(count, int(skipped.size()));
        for (const auto& skip : host.skips())
            QVERIFY2(skip.reason.startsWith(OwnText(reason.toLatin1().constData())),
                     qPrintable(skip.reason));
        ::unlink((root + "bad\xe4.jpg").constData());
        ::rmdir((root + "bad\xff").constData());
    }

    // Past the path limit, and deeper than the levels that keep their
    // folder open for their sub-folders.
    void deepTreeKeepsTheListingOrder_data() {
        QTest::addColumn<int>("levels");
        QTest::addColumn<int>("nameLength");
        QTest::newRow("40 long names") << 40 << 110;
        QTest::newRow("90 short names") << 90 << 50;
        QTest::newRow("200 levels, past two kept open") << 200 << 25;
    }
    void deepTreeKeepsTheListingOrder() {
        QFETCH(int, levels);
        QFETCH(int, nameLength);
        fixtures::Tree tree;
        fixtures::DeepFolder deep(tree.root(), levels, nameLength);
        QVERIFY(deep.valid());
        QVERIFY(deep.write("b.jpg", "x"));
        QVERIFY(deep.write("A.jpeg", "x"));
        QVERIFY(deep.write("a.JPG", "x"));
        QVERIFY(tree.file("top.jpg", "x"));
        QVERIFY(tree.file("zz/last.jpg", "x"));
        fixtures::SkipRecordingHost host;
        QStringList list;
        QCOMPARE(CollectJpegFilesRecursive(host, list, tree.root()), 0);
        QCOMPARE(list,
                 QStringList({tree.path("top.jpg"), deep.path() + "a.JPG", deep.path() + "b.jpg",
                              tree.path("zz/last.jpg"), deep.path() + "A.jpeg"}));
        QVERIFY(host.skips().isEmpty());
    }

    void missingFolderOrBareMaskCollectsNothing() {
        fixtures::Tree tree;
        RecordingJobHost host;
        QStringList list{QStringLiteral("kept")};
        CollectFilesRecursive(host, list, tree.path("missing/*.jpg"));
        CollectFilesRecursive(host, list, QStringLiteral("*.jpg"));
        CollectFilesRecursive(host, list, QStringLiteral("relative/*.jpg"));
        QCOMPARE(list, QStringList({"kept"}));
    }

    void pendingMessagesOncePerFolder() {
        fixtures::Tree tree;
        QVERIFY(tree.file("a.jpg", "x"));
        QVERIFY(tree.file("one/b.jpg", "x"));
        QVERIFY(tree.file("one/two/c.jpg", "x"));
        QVERIFY(tree.folder("three"));
        QVERIFY(tree.folder(".skipped"));
        RecordingJobHost host;
        QStringList list;
        CollectFilesRecursive(host, list, tree.root() + "*.jpg");
        QCOMPARE(host.pendingMessageCalls(), 4);
        QCOMPARE(list.size(), 3);
    }

    // The selection's files, in its order, from one folder or several; what
    // is a folder by now (or a link to one) is left out without a word.
    void selectedFilesInOrderWithoutFolders_data() {
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QStringList>("collected");
        QTest::newRow("one folder")
            << QStringList{"b.jpg", "folder.jpg", "a.jpg"} << QStringList{"b.jpg", "a.jpg"};
        QTest::newRow("link to a folder")
            << QStringList{"link.jpg", "a.jpg"} << QStringList{"a.jpg"};
        QTest::newRow("back and forth between folders")
            << QStringList{"a.jpg", "sub/c.jpg", "b.jpg", "sub/folder.jpg", "sub/c.jpg"}
            << QStringList{"a.jpg", "sub/c.jpg", "b.jpg", "sub/c.jpg"};
        QTest::newRow("vanished file stays for the job to report")
            << QStringList{"gone.jpg", "a.jpg"} << QStringList{"gone.jpg", "a.jpg"};
    }
    void selectedFilesInOrderWithoutFolders() {
        QFETCH(QStringList, selected);
        QFETCH(QStringList, collected);
        fixtures::Tree tree;
        QVERIFY(tree.file("b.jpg", "x"));
        QVERIFY(tree.file("a.jpg", "x"));
        QVERIFY(tree.file("sub/c.jpg", "x"));
        QVERIFY(tree.folder("folder.jpg"));
        QVERIFY(tree.folder("sub/folder.jpg"));
        QVERIFY(::symlink("folder.jpg", QFile::encodeName(tree.path("link.jpg")).constData()) == 0);
        RecordingJobHost host;
        QStringList paths;
        for (const QString& name : selected)
            paths.append(tree.path(name));
        host.setSelectedFiles(paths);
        QStringList list{QStringLiteral("old entry")};
        QCOMPARE(CollectSelectedFiles(host, list), 0);
        QStringList expected;
        for (const QString& name : collected)
            expected.append(tree.path(name));
        QCOMPARE(list, expected);
    }
};

KELVASTO_REGISTER_TEST(TestFileCollection)
#include "test_file_collection.moc"
