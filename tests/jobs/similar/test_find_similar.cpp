// The search as a job: groups with the keeper first, the files it must name
// as skipped, the same-picture mode on a photograph with and without its
// metadata, and a stop in the middle.

#include "common/file_fixtures.h"
#include "common/jpeg_builder.h"
#include "common/similar_scenes.h"
#include "common/skip_fixtures.h"
#include "common/test_registry.h"
#include "group_names.h"

#include "jobs/framework/job_controls.h"
#include "jobs/similar/find_similar.h"
#include "jobs/similar/picture_data_digest.h"

#include <QFileInfo>
#include <QTest>

using fixtures::SkipRecordingHost;
using fixtures::Tree;
using testing::Variant;

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 224;

SimilarSearchResult searchTree(JobHost& host, const Tree& tree, bool samePicture = false) {
    SimilarSearchOptions options;
    options.startFolders = {tree.root()};
    options.samePicture = samePicture;
    return SearchSimilarPictures(host, options);
}

// The file with an APP1 segment (EXIF's) or a comment put in after its
// start-of-image marker.
QByteArray withSegment(const QByteArray& jpeg, const QByteArray& segment) {
    return jpeg.left(2) + segment + jpeg.mid(2);
}

QByteArray exif(char fill) {
    return QByteArray("\xFF\xE1\x00\x28", 4) + QByteArray(38, fill);
}

QByteArray comment(const QByteArray& text) {
    return JpegBuilder().com(text).bytes();
}

} // namespace

class TestFindSimilar : public QObject {
    Q_OBJECT
private slots:
    // The keeper is the picture with most pixels, then the larger file,
    // whatever the names' order.
    void keeperComesFirst() {
        Tree tree;
        const Picture scene = testing::scene(kWidth, kHeight, 11);
        tree.file(QStringLiteral("1-half.jpg"), testing::variantFile(scene, Variant::Half));
        tree.file(QStringLiteral("2-small.jpg"), testing::variantFile(scene, Variant::Quality40));
        tree.file(QStringLiteral("3-large.jpg"), testing::jpegAt(scene, 95));
        tree.file(QStringLiteral("4-other.jpg"),
                  testing::jpegAt(testing::scene(kWidth, kHeight, 12), 90));
        RecordingJobHost host;
        const SimilarSearchResult result = searchTree(host, tree);
        QCOMPARE(GroupNames(result), (QStringList{"3-large.jpg", "2-small.jpg", "1-half.jpg", ""}));
        const SimilarPicture& keeper = result.groups.at(0).at(0);
        QCOMPARE(keeper.width, kWidth);
        QCOMPARE(keeper.height, kHeight);
        QCOMPARE(keeper.bytes, QFileInfo(tree.path(QStringLiteral("3-large.jpg"))).size());
        QCOMPARE(host.text(kSimilarControls.groupsFound), QStringLiteral("1"));
        QCOMPARE(host.text(kSimilarControls.progress.done), QStringLiteral("4"));
        QVERIFY(host.lockBalanced());
        QCOMPARE(host.progressPage(), int(kLogoPage));
    }

    void unreadableFilesAreNamed_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("no JPEG at all") << "text.jpg" << QByteArray("hello");
        QTest::newRow("empty") << "empty.jpg" << QByteArray();
        QTest::newRow("header without scan")
            << "cut.jpg" << JpegBuilder().soi().app(0).dqt().bytes();
    }

    void unreadableFilesAreNamed() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        Tree tree;
        const Picture scene = testing::scene(kWidth, kHeight, 13);
        tree.file(QStringLiteral("a.jpg"), testing::jpegAt(scene, 90));
        tree.file(QStringLiteral("b.jpg"), testing::variantFile(scene, Variant::Grey));
        tree.file(name, bytes);
        SkipRecordingHost host;
        const SimilarSearchResult result = searchTree(host, tree);
        QCOMPARE(host.skippedPaths(), QStringList{tree.path(name)});
        QVERIFY(!host.skips().at(0).reason.isEmpty());
        QCOMPARE(result.skipped, 1);
        QCOMPARE(GroupNames(result), (QStringList{"a.jpg", "b.jpg", ""}));
    }

    void samePictureMode_data() {
        QTest::addColumn<QByteArray>("second");
        QTest::addColumn<bool>("together");
        const QByteArray photo = testing::jpegAt(testing::scene(kWidth, kHeight, 21), 90);
        QTest::newRow("EXIF added") << withSegment(photo, exif('e')) << true;
        QTest::newRow("comment added") << withSegment(photo, comment("holiday")) << true;
        QTest::newRow("both, bytes behind the end")
            << withSegment(photo, exif('f') + comment("x")) + QByteArray("trailer") << true;
        QTest::newRow("recompressed")
            << testing::jpegAt(testing::scene(kWidth, kHeight, 21), 89) << false;
        QTest::newRow("one entropy byte changed")
            << QByteArray(photo).replace(photo.size() - 40, 1, "\x11") << false;
    }

    // Only files that show exactly the same pixels may go together: the
    // user trashes one of them believing nothing is lost.
    void samePictureMode() {
        QFETCH(QByteArray, second);
        QFETCH(bool, together);
        Tree tree;
        const QByteArray photo = testing::jpegAt(testing::scene(kWidth, kHeight, 21), 90);
        tree.file(QStringLiteral("a.jpg"), withSegment(photo, exif('a')));
        tree.file(QStringLiteral("b.jpg"), second);
        RecordingJobHost host;
        const SimilarSearchResult result = searchTree(host, tree, true);
        QCOMPARE(result.groups.size(), together ? 1 : 0);
    }

    // A marker-like byte pair inside a segment must not end the walk early
    // and make two different pictures look alike.
    void digestCoversEverythingButMetadata() {
        const QByteArray photo = testing::jpegAt(testing::scene(64, 64, 3), 90);
        const QByteArray inner = JpegBuilder().com(QByteArray("\xFF\xD9 not the end", 13)).bytes();
        QCOMPARE(PictureDataDigest(withSegment(photo, inner)), PictureDataDigest(photo));
        QVERIFY(PictureDataDigest(photo.left(photo.size() - 2)).isEmpty());
        QCOMPARE(PictureDataDigest(photo).size(), 32);
    }

    // A stop keeps the groups of the pictures checked until then.
    void stopGroupsWhatWasChecked() {
        Tree tree;
        const Picture scene = testing::scene(kWidth, kHeight, 31);
        tree.file(QStringLiteral("a.jpg"), testing::jpegAt(scene, 90));
        tree.file(QStringLiteral("b.jpg"), testing::variantFile(scene, Variant::Half));
        for (int i = 0; i < 4; ++i)
            tree.file(QStringLiteral("c%1.jpg").arg(i),
                      testing::jpegAt(testing::scene(kWidth, kHeight, 40 + unsigned(i)), 90));
        RecordingJobHost host;
        int files = 0;
        host.onProcessPendingMessages([&](int) {
            if (host.text(kSimilarControls.progress.done) == QStringLiteral("2") && ++files == 1)
                host.stopFlags().BatchJobStop = 1;
        });
        const SimilarSearchResult result = searchTree(host, tree);
        QVERIFY(result.stopped);
        QCOMPARE(result.checked, 2);
        QCOMPARE(GroupNames(result), (QStringList{"a.jpg", "b.jpg", ""}));
        QVERIFY(host.lockBalanced());
    }
};

KELVASTO_REGISTER_TEST(TestFindSimilar)
#include "test_find_similar.moc"
