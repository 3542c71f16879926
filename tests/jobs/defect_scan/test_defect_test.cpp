#include "base/errors.h"
#include "common/file_fixtures.h"
#include "common/test_registry.h"
#include "fs/folder_access.h"
#include "jobs/defect_scan/defect_test.h"
#include "jobs/defect_scan/defect_test_ahead.h"

#include <QTest>

#include <cfenv>
#include <cmath>

#include <sys/stat.h>

namespace {

// The test as plainly as it can be written: the whole file in memory,
// floating-point rounding in the default (half-to-even) mode, two bytes at a
// time from the end.
bool referenceIsDefective(const QByteArray& bytes) {
    const qint64 n = bytes.size();
    if (n <= 25)
        return true;
    std::fesetround(FE_TONEAREST);
    const qint64 r = qint64(std::nearbyint(double(n) * 0.75));
    for (qint64 p = n - 2; p >= r + 1; --p)
        if (uchar(bytes[p]) == 0xFF && uchar(bytes[p + 1]) == 0xD9)
            return false;
    return true;
}

// n bytes without any 0xFF, with the marker pair starting at `pairAt` (or none
// when negative), and a lone 0xFF or 0xD9 where `decoyAt` says.
QByteArray fileWithPair(int n, int pairAt, int decoyAt = -1) {
    QByteArray bytes(n, 'a');
    if (pairAt >= 0) {
        bytes[pairAt] = char(0xFF);
        bytes[pairAt + 1] = char(0xD9);
    }
    if (decoyAt >= 0 && decoyAt < n)
        bytes[decoyAt] = decoyAt % 2 ? char(0xD9) : char(0xFF);
    return bytes;
}

// The reads of the test under test: a few bytes first, then a middle-sized
// block, then large ones.
constexpr int kTail = 32;
constexpr int kFirst = kTail + 4 * 1024;
constexpr int kBlock = 64 * 1024;

} // namespace

class TestDefectTest : public QObject {
    Q_OBJECT
private slots:
    void searchLimitRoundsHalfToEven() {
        QCOMPARE(DefectSearchLimit(26), 20);
        QCOMPARE(DefectSearchLimit(30), 22);
        QCOMPARE(DefectSearchLimit(1000), 750);
        std::fesetround(FE_TONEAREST);
        for (qint64 n = 0; n < 5000; ++n)
            QCOMPARE(DefectSearchLimit(n), qint64(std::nearbyint(double(n) * 0.75)));
        QCOMPARE(DefectSearchLimit(4000000002LL), 3000000002LL); // 3000000001.5 -> even
    }

    void namedCases_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("defective");
        QTest::newRow("25 bytes ending in the marker") << fixtures::soundJpeg(25) << true;
        QTest::newRow("26 bytes ending in the marker") << fixtures::soundJpeg(26) << false;
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("pair at 751 of 1000") << fileWithPair(1000, 751) << false;
        QTest::newRow("pair at 750 of 1000") << fileWithPair(1000, 750) << true;
        QTest::newRow("sound + 10 trailing bytes")
            << fixtures::soundJpeg(1000) + QByteArray(10, 'x') << false;
        QTest::newRow("sound + 1000 trailing bytes")
            << fixtures::soundJpeg(1000) + QByteArray(1000, 'x') << true;
        QTest::newRow("pair split across the last two bytes reversed")
            << QByteArray(98, 'a') + "\xD9\xFF" << true;
    }
    void namedCases() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, defective);
        fixtures::Tree tree;
        QVERIFY(tree.file("t.jpg", bytes));
        QCOMPARE(referenceIsDefective(bytes), defective);
        QCOMPARE(IsDefectiveJpeg(tree.path("t.jpg")), defective);
    }

    // Block-wise reading from the end must give the plain test's answer for
    // every size and every position of the pair, around block boundaries too.
    void sameAsReference_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("pairAt");
        QTest::addColumn<int>("decoyAt");
        const int sizes[] = {26,
                             kTail + 1,
                             kTail + 2,
                             4 * kTail + 3,
                             kFirst + 1,
                             kFirst + 2,
                             4 * kFirst + 3,
                             27,
                             28,
                             29,
                             30,
                             31,
                             101,
                             1000,
                             1001,
                             1002,
                             1003,
                             4 * kBlock,
                             4 * kBlock + 2,
                             4 * kBlock + 7,
                             9 * kBlock + 3};
        for (int n : sizes) {
            const int r = int(DefectSearchLimit(n));
            const int positions[] = {-1,
                                     n - 2,
                                     n - 3,
                                     r + 1,
                                     r,
                                     r - 1,
                                     (r + n) / 2,
                                     n - 2 - kTail,
                                     n - 1 - kTail,
                                     n - kTail,
                                     n - 2 - kFirst,
                                     n - 1 - kFirst,
                                     n - kFirst,
                                     n - 2 - kFirst - kBlock,
                                     n - 1 - kFirst - kBlock,
                                     n - 2 - kBlock,
                                     n - 1 - kBlock,
                                     n - kBlock,
                                     n - 2 - 2 * kBlock,
                                     n - 1 - 2 * kBlock};
            for (int p : positions) {
                if (p < -1 || p > n - 2)
                    continue;
                QTest::addRow("n=%d pair=%d", n, p) << n << p << -1;
                QTest::addRow("n=%d pair=%d decoy", n, p) << n << p << n - 1 - kFirst;
            }
        }
    }
    void sameAsReference() {
        QFETCH(int, size);
        QFETCH(int, pairAt);
        QFETCH(int, decoyAt);
        const QByteArray bytes = fileWithPair(size, pairAt, decoyAt);
        fixtures::Tree tree;
        QVERIFY(tree.file("t.jpg", bytes));
        QCOMPARE(IsDefectiveJpeg(tree.path("t.jpg")), referenceIsDefective(bytes));
    }

    // The testers that run ahead give, file by file, the answers of the
    // test done in turn, around their stretches and their window, however
    // many share the list, also when the scan stops half-way.
    void testAheadGivesTheAnswersInTurn_data() {
        QTest::addColumn<int>("files");
        QTest::addColumn<int>("taken");
        QTest::addColumn<int>("threads");
        for (int threads : {1, 2, 5})
            for (int files : {0, 1, 31, 32, 33, 300, 700})
                QTest::addRow("%d files, %d testers", files, threads) << files << files << threads;
        QTest::newRow("stopped after 10 of 700") << 700 << 10 << 2;
    }
    void testAheadGivesTheAnswersInTurn() {
        QFETCH(int, files);
        QFETCH(int, taken);
        QFETCH(int, threads);
        fixtures::Tree tree;
        QStringList list;
        for (int i = 0; i < files; ++i) {
            const QString name = QStringLiteral("d%1/f%2.jpg").arg(i / 50).arg(i);
            if (i % 7 != 3)
                QVERIFY(tree.file(name, i % 3 == 0 ? fixtures::truncatedJpeg(100 + i)
                                                   : fixtures::soundJpeg(100 + i)));
            list.append(tree.path(name));
        }
        DefectTestAhead ahead(list, threads);
        FolderCache folders;
        for (int i = 0; i < taken; ++i) {
            const DefectTestResult got = ahead.take(i);
            const DefectTestResult want = TestDefectiveJpeg(list.at(i), folders);
            QCOMPARE(got.readable, want.readable);
            QCOMPARE(got.defective, want.defective);
            QCOMPARE(got.failure, want.failure);
            QCOMPARE(got.readable, i % 7 != 3);
        }
    }

    void unreadableThingsRaise_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing") << "missing";
        QTest::newRow("folder") << "folder";
        QTest::newRow("fifo") << "fifo";
    }
    void unreadableThingsRaise() {
        QFETCH(QString, kind);
        fixtures::Tree tree;
        const QString path = tree.path("x.jpg");
        if (kind == QLatin1String("folder"))
            QVERIFY(tree.folder("x.jpg"));
        if (kind == QLatin1String("fifo"))
            QVERIFY(tree.fifo("x.jpg"));
        QVERIFY_THROWS_EXCEPTION(KelvastoError, IsDefectiveJpeg(path));
    }
};

KELVASTO_REGISTER_TEST(TestDefectTest)
#include "test_defect_test.moc"
