#include "base/errors.h"
#include "common/file_fixtures.h"
#include "common/test_registry.h"
#include "i18n/catalogue.h"
#include "jobs/duplicates/block_compare.h"
#include "jobs/duplicates/file_compare.h"
#include "jobs/duplicates/file_fingerprint.h"

#include <QTest>

#include <sys/stat.h>

namespace {

constexpr int kBlock = int(kCompareBlockSize);

// `size` bytes of a pattern that repeats only after 251 bytes, so a shifted
// copy never compares equal by accident.
QByteArray pattern(int size, int seed = 0) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i + seed) % 251);
    return bytes;
}

QByteArray flipped(QByteArray bytes, int at) {
    bytes[at] = char(bytes[at] ^ 0x5A);
    return bytes;
}

} // namespace

class TestFileCompare : public QObject {
    Q_OBJECT
private slots:
    void init() { SetLanguageOffset(10000); }
    void cleanup() { SetLanguageOffset(0); }

    void identity_data() {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        QTest::addColumn<bool>("identical");
        QTest::newRow("two empty files") << QByteArray() << QByteArray() << true;
        QTest::newRow("first byte differs") << pattern(1000) << flipped(pattern(1000), 0) << false;
        QTest::newRow("last byte differs") << pattern(1000) << flipped(pattern(1000), 999) << false;
        QTest::newRow("one a prefix of the other") << pattern(1000) << pattern(1001) << false;
        QTest::newRow("same over three blocks")
            << pattern(2 * kBlock + 7) << pattern(2 * kBlock + 7) << true;
        QTest::newRow("differs first byte of second block")
            << pattern(2 * kBlock) << flipped(pattern(2 * kBlock), kBlock) << false;
        QTest::newRow("differs last byte of first block")
            << pattern(2 * kBlock) << flipped(pattern(2 * kBlock), kBlock - 1) << false;
        QTest::newRow("one byte longer at a block boundary")
            << pattern(kBlock) << pattern(kBlock + 1) << false;
        QTest::newRow("same length shifted content") << pattern(3000) << pattern(3000, 1) << false;
    }
    void identity() {
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        QFETCH(bool, identical);
        fixtures::Tree tree;
        QVERIFY(tree.file("a.jpg", first));
        QVERIFY(tree.file("b.jpg", second));
        TFileCompare compare;
        compare.SetFirstFile(tree.path("a.jpg"));
        compare.SetSecondFile(tree.path("b.jpg"));
        QCOMPARE(compare.FilesAreIdentical(), identical);
        compare.SetFirstFile(tree.path("b.jpg"));
        compare.SetSecondFile(tree.path("a.jpg"));
        QCOMPARE(compare.FilesAreIdentical(), identical);
        // What the search relies on: equal fingerprints for equal files.
        if (identical)
            QCOMPARE(FileFingerprint(tree.path("a.jpg")), FileFingerprint(tree.path("b.jpg")));
    }

    void missingFileNamesPathAndText_data() {
        QTest::addColumn<QString>("relative");
        QTest::newRow("no such file") << "gone.jpg";
        QTest::newRow("a folder is no file") << "folder";
        QTest::newRow("file below a missing folder") << "nowhere/x.jpg";
    }
    void missingFileNamesPathAndText() {
        QFETCH(QString, relative);
        fixtures::Tree tree;
        QVERIFY(tree.folder("folder"));
        QVERIFY(tree.file("real.jpg", "x"));
        const QString path = tree.path(relative);
        for (const bool first : {true, false}) {
            TFileCompare compare;
            try {
                if (first)
                    compare.SetFirstFile(path);
                else
                    compare.SetSecondFile(path);
                QFAIL("no error for a missing file");
            } catch (const KelvastoError& error) {
                QCOMPARE(QString::fromStdString(error.what()), path + " does not exist.");
            }
        }
    }

    void fileVanishedAfterSettingRaises() {
        fixtures::Tree tree;
        QVERIFY(tree.file("a.jpg", "abc"));
        QVERIFY(tree.file("b.jpg", "abc"));
        TFileCompare compare;
        compare.SetFirstFile(tree.path("a.jpg"));
        compare.SetSecondFile(tree.path("b.jpg"));
        QVERIFY(QFile::remove(tree.path("b.jpg")));
        QVERIFY_THROWS_EXCEPTION(KelvastoError, compare.FilesAreIdentical());
    }

    // One first file against many: the answers must be those of the pairs,
    // also across the batches of open files and for files that cannot be
    // read.
    void matchFirstAgainstManyEqualsPairs() {
        fixtures::Tree tree;
        const int size = kBlock + 300;
        const QByteArray original = pattern(size);
        QVERIFY(tree.file("first.jpg", original));
        QStringList candidates;
        QList<bool> expected;
        QList<bool> expectedFailed;
        for (int i = 0; i < kMaxOpenCandidates * 2 + 5; ++i) {
            const QString name = QStringLiteral("c%1.jpg").arg(i);
            QByteArray bytes = original;
            bool same = true;
            if (i % 7 == 3) {
                bytes = flipped(original, (i * 997) % size);
                same = false;
            }
            QVERIFY(tree.file(name, bytes));
            candidates.append(tree.path(name));
            expected.append(same);
            expectedFailed.append(false);
        }
        candidates.append(tree.path("vanished.jpg"));
        expected.append(false);
        expectedFailed.append(true);
        QVERIFY(::mkfifo(QFile::encodeName(tree.path("fifo.jpg")).constData(), 0600) == 0);
        candidates.append(tree.path("fifo.jpg"));
        expected.append(false);
        expectedFailed.append(true);

        const MatchOutcome outcome = MatchFirstAgainst(tree.path("first.jpg"), candidates);
        QVERIFY(!outcome.firstFailed);
        for (qsizetype i = 0; i < candidates.size(); ++i) {
            QCOMPARE(bool(outcome.identical[std::size_t(i)]), expected.at(i));
            QCOMPARE(bool(outcome.failed[std::size_t(i)]), expectedFailed.at(i));
        }
    }

    void missingFirstMatchesNothing() {
        fixtures::Tree tree;
        QVERIFY(tree.file("b.jpg", "same"));
        const MatchOutcome outcome =
            MatchFirstAgainst(tree.path("a.jpg"), {tree.path("b.jpg"), tree.path("b.jpg")});
        QVERIFY(outcome.firstFailed);
        QCOMPARE(outcome.identical, std::vector<bool>({false, false}));
    }

    // The fingerprint must tell apart what photographs of one size usually
    // differ in: their start and their end.
    void fingerprintSeesHeadAndTail_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("flipAt");
        QTest::newRow("small, middle") << 5000 << 2500;
        QTest::newRow("large, last byte") << 400000 << 399999;
        QTest::newRow("large, last byte of the head") << 400000 << int(kFingerprintSpan) - 1;
        QTest::newRow("large, first byte of the tail") << 400000 << 400000 - int(kFingerprintSpan);
    }
    void fingerprintSeesHeadAndTail() {
        QFETCH(int, size);
        QFETCH(int, flipAt);
        fixtures::Tree tree;
        QVERIFY(tree.file("a.jpg", pattern(size)));
        QVERIFY(tree.file("b.jpg", flipped(pattern(size), flipAt)));
        QVERIFY(FileFingerprint(tree.path("a.jpg")).has_value());
        QVERIFY(FileFingerprint(tree.path("a.jpg")) != FileFingerprint(tree.path("b.jpg")));
    }
};

KELVASTO_REGISTER_TEST(TestFileCompare)
#include "test_file_compare.moc"
