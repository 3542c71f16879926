// The reduction never damages a picture another program holds, changes or
// names alike: readers that hold files open keep their bytes, a file changed
// behind the job is left as it was left, and copies never overwrite another
// picture. Every file left as it stands is named.

#include "common/file_fixtures.h"
#include "common/jpeg_builder.h"
#include "common/skip_fixtures.h"
#include "common/test_registry.h"
#include "fs/file_rewrite.h"
#include "i18n/own_texts.h"
#include "jobs/reduction/reduce_jpegs.h"
#include "reduction_reference.h"

#include <QTest>

#include <fcntl.h>
#include <unistd.h>

namespace {

// A real picture in one colour with what the reduction removes: an EXIF
// segment, a comment and appended data.
QByteArray photo(std::uint8_t red, int exifLength = 60) {
    const QByteArray picture = JpegBuilder::picture(16, 16, red, 90, 200);
    return picture.left(2) + JpegBuilder().app(1, exifLength).com("from the camera").bytes() +
           picture.mid(2) + QByteArray(50, 't');
}

const ReductionOptions kAll{true, true, true};

QByteArray readAt(int fd, qsizetype size) {
    QByteArray bytes(size + 1, 0);
    const ssize_t got = ::pread(fd, bytes.data(), std::size_t(bytes.size()), 0);
    bytes.truncate(got < 0 ? 0 : qsizetype(got));
    return bytes;
}

} // namespace

class TestReductionSafety : public QObject {
    Q_OBJECT
private slots:
    // A viewer, a backup or the file list's thumbnailer opened the pictures
    // before the run: afterwards each still reads exactly its picture.
    void readersHoldingFilesKeepTheirBytes() {
        constexpr int kFiles = 300;
        fixtures::Tree tree;
        std::vector<QByteArray> originals;
        std::vector<FileDescriptor> readers;
        for (int i = 0; i < kFiles; ++i) {
            // Sizes rise and fall, so a file written over would show it.
            originals.push_back(JpegBuilder()
                                    .soi()
                                    .app(1, 100 + 7 * i)
                                    .com("c")
                                    .segment(0xDA, 6)
                                    .scanData(3000 + (i * 677) % 9000)
                                    .eoi()
                                    .trailing(i % 50)
                                    .bytes());
            const QString name = QStringLiteral("d%1/f%2.jpg").arg(i % 2).arg(i);
            QVERIFY(tree.file(name, originals.back()));
            readers.emplace_back(::open(QFile::encodeName(tree.path(name)).constData(), O_RDONLY));
            QVERIFY(readers.back().valid());
        }
        RecordingJobHost host;
        host.setSelectedFolder(tree.root());
        host.queueAnswer(DialogResult::OK);
        ReduceJpegsOptions options;
        options.recursive = true;
        options.remove = kAll;
        QCOMPARE(ReduceJpegs(host, options).changed, kFiles);
        for (int i = 0; i < kFiles; ++i) {
            QCOMPARE(readAt(readers[i].get(), originals[i].size()), originals[i]);
            QCOMPARE(tree.read(QStringLiteral("d%1/f%2.jpg").arg(i % 2).arg(i)),
                     reference::reduced(originals[i], kAll));
        }
    }

    // Each way a file is left as it stands: it keeps what it holds, it is
    // named once with its reason, and the other files are reduced.
    void filesLeftAsTheyStandAreNamed_data() {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QString>("named");  // the path named, relative
        QTest::addColumn<QString>("reason"); // own-text key
        QTest::addColumn<QString>("kept");   // the file that keeps its bytes
        QTest::newRow("PNG named .jpg") << "png"
                                        << "in/b.jpg"
                                        << "reduce.skip.notJpeg"
                                        << "in/b.jpg";
        QTest::newRow("new version saved behind the job") << "saved anew"
                                                          << "in/b.jpg"
                                                          << "reduce.skip.changed"
                                                          << "in/b.jpg";
        QTest::newRow("deleted behind the job") << "deleted"
                                                << "in/b.jpg"
                                                << "reduce.skip.changed"
                                                << "";
        QTest::newRow("copies: two sources, one name") << "same name"
                                                       << "in/sub/a.jpg"
                                                       << "reduce.skip.copyNameTaken"
                                                       << "";
        QTest::newRow("copies: another picture already there") << "unrelated"
                                                               << "in/b.jpg"
                                                               << "reduce.skip.copyNameTaken"
                                                               << "copies/b.jpg";
        QTest::newRow("copies: not a JPEG already there") << "not jpeg there"
                                                          << "in/b.jpg"
                                                          << "reduce.skip.copyNameTaken"
                                                          << "copies/b.jpg";
    }
    void filesLeftAsTheyStandAreNamed() {
        QFETCH(QString, situation);
        QFETCH(QString, named);
        QFETCH(QString, reason);
        QFETCH(QString, kept);
        fixtures::Tree tree;
        QVERIFY(tree.file("in/a.jpg", photo(10)));
        QVERIFY(tree.file("in/b.jpg", photo(120)));
        QVERIFY(tree.file("in/c.jpg", photo(240)));
        const QByteArray png = QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(300, 'p') +
                               "\xFF\xD9" + QByteArray(60, 'q');
        const bool copies = reason == "reduce.skip.copyNameTaken";
        if (situation == "png")
            QVERIFY(tree.file("in/b.jpg", png));
        if (situation == "same name")
            QVERIFY(tree.file("in/sub/a.jpg", photo(60)) && tree.folder("copies"));
        if (situation == "unrelated")
            QVERIFY(tree.file("copies/b.jpg", photo(121)));
        if (situation == "not jpeg there")
            QVERIFY(tree.file("copies/b.jpg", png));
        const QByteArray keptBytes = kept.isEmpty() ? QByteArray() : tree.read(kept);
        const QByteArray newer = photo(99, 80);
        const BeforeReplaceHook hook([&](const QString& path) {
            if (!path.endsWith("/in/b.jpg"))
                return;
            if (situation == "saved anew")
                QVERIFY(tree.file("in/b.jpg", newer));
            if (situation == "deleted")
                QVERIFY(QFile::remove(path));
        });
        fixtures::SkipRecordingHost host;
        host.setSelectedFolder(tree.path("in"));
        host.queueAnswer(DialogResult::OK);
        ReduceJpegsOptions options;
        options.recursive = true;
        options.remove = kAll;
        options.copies = copies;
        options.destination = tree.path("copies");
        const ReduceJpegsResult result = ReduceJpegs(host, options);
        QVERIFY2(result.failedFile.isEmpty(), qPrintable(result.error));
        QCOMPARE(host.skippedPaths(), QStringList{tree.path(named)});
        const QString expected = OwnText(qPrintable(reason));
        const QString copy = tree.path("copies/" + QFileInfo(named).fileName());
        QCOMPARE(host.skips().first().reason, copies ? expected.arg(copy) : expected);
        QCOMPARE(result.skipped, 1);
        QCOMPARE(result.changed, int(result.collected) - 1);
        if (situation == "saved anew")
            QCOMPARE(tree.read("in/b.jpg"), newer);
        else if (situation == "same name") // the first source's copy, reduced once
            QCOMPARE(tree.read("copies/a.jpg"), reference::reduced(photo(10), kAll));
        else if (!kept.isEmpty())
            QCOMPARE(tree.read(kept), keptBytes);
        QCOMPARE(tree.exists("in/b.jpg"), situation != "deleted");
        const QString folder = copies ? QStringLiteral("copies/") : QStringLiteral("in/");
        QCOMPARE(tree.read(folder + "c.jpg"), reference::reduced(photo(240), kAll));
        if (copies) // the sources stay as they were
            QCOMPARE(tree.read("in/c.jpg"), photo(240));
    }

    // A copy an earlier run left (reduced with other options, or not yet at
    // all) holds the source's picture: it is reduced again, nothing is named.
    void earlierCopiesAreReducedAgain_data() {
        QTest::addColumn<int>("earlierOptions"); // bits: segments, comment, trailing
        QTest::newRow("plain copy") << 0;
        QTest::newRow("comments removed before") << 2;
        QTest::newRow("fully reduced before") << 7;
    }
    void earlierCopiesAreReducedAgain() {
        QFETCH(int, earlierOptions);
        const ReductionOptions earlier{bool(earlierOptions & 1), bool(earlierOptions & 2),
                                       bool(earlierOptions & 4)};
        fixtures::Tree tree;
        QVERIFY(tree.file("in/a.jpg", photo(33)));
        QVERIFY(tree.file("copies/a.jpg", reference::reduced(photo(33), earlier)));
        fixtures::SkipRecordingHost host;
        host.setSelectedFiles({tree.path("in/a.jpg")});
        host.queueAnswer(DialogResult::OK);
        ReduceJpegsOptions options;
        options.remove = kAll;
        options.copies = true;
        options.destination = tree.path("copies");
        const ReduceJpegsResult result = ReduceJpegs(host, options);
        QVERIFY(host.skips().isEmpty());
        QCOMPARE(tree.read("copies/a.jpg"), reference::reduced(photo(33), kAll));
        QCOMPARE(result.changed, earlierOptions == 7 ? 0 : 1);
    }
};

KELVASTO_REGISTER_TEST(TestReductionSafety)
#include "test_reduction_safety.moc"
