// The fingerprint against the copies people make of a photograph, and
// against unrelated photographs; the DC-scan path for progressive files; and
// files that are no pictures.

#include "common/similar_scenes.h"
#include "common/test_registry.h"

#include "base/errors.h"
#include "jobs/similar/find_similar.h"
#include "jobs/similar/picture_fingerprint.h"

#include <QTest>

using testing::Variant;

Q_DECLARE_METATYPE(Variant)

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 448;

int distanceOf(const QByteArray& a, const QByteArray& b) {
    return PictureDistance(FingerprintJpeg(a), FingerprintJpeg(b));
}

} // namespace

class TestPictureFingerprint : public QObject {
    Q_OBJECT
private slots:
    void copiesStayWithinTheThreshold_data() {
        QTest::addColumn<unsigned>("seed");
        QTest::addColumn<Variant>("variant");
        const std::pair<const char*, Variant> variants[] = {
            {"half size", Variant::Half},    {"quality 40", Variant::Quality40},
            {"5 % cropped", Variant::Crop5}, {"12 % brighter", Variant::Brighter12},
            {"grey", Variant::Grey},
        };
        for (const unsigned seed : {3u, 17u, 29u})
            for (const auto& [name, variant] : variants)
                QTest::addRow("scene %u, %s", seed, name) << seed << variant;
    }

    // A copy the search would miss is the fault users meet most.
    void copiesStayWithinTheThreshold() {
        QFETCH(unsigned, seed);
        QFETCH(Variant, variant);
        const Picture original = testing::scene(kWidth, kHeight, seed);
        const int distance =
            distanceOf(testing::jpegAt(original, 90), testing::variantFile(original, variant));
        QVERIFY2(distance <= kDefaultSimilarityThreshold, qPrintable(QString::number(distance)));
    }

    // Unrelated photographs put together would send a user's only copy of
    // a picture to the trash.
    void unrelatedScenesStayApart() {
        QList<QByteArray> files;
        for (unsigned seed = 100; seed < 112; ++seed)
            files.append(testing::jpegAt(testing::scene(kWidth, kHeight, seed), 90));
        int nearest = kFingerprintBits;
        for (qsizetype i = 0; i < files.size(); ++i)
            for (qsizetype j = i + 1; j < files.size(); ++j)
                nearest = std::min(nearest, distanceOf(files.at(i), files.at(j)));
        QVERIFY2(nearest > kDefaultSimilarityThreshold + 2, qPrintable(QString::number(nearest)));
    }

    // Progressive files are fingerprinted from their DC scans alone; the
    // result must match the whole decode closely enough to group them.
    void progressiveMatchesBaseline() {
        const Picture original = testing::scene(kWidth, kHeight, 41);
        const QByteArray progressive = testing::jpegAt(original, 90, true);
        const PictureFingerprint fingerprint = FingerprintJpeg(progressive);
        QCOMPARE(fingerprint.width, kWidth);
        QCOMPARE(fingerprint.height, kHeight);
        QVERIFY(FingerprintDistance(fingerprint.bits,
                                    FingerprintJpeg(testing::jpegAt(original, 90)).bits) <= 2);
    }

    void noPictureThrows_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("not a picture at all");
        QTest::newRow("header only") << testing::jpegAt(testing::scene(64, 64, 1), 90).left(100);
    }

    void noPictureThrows() {
        QFETCH(QByteArray, bytes);
        QVERIFY_THROWS_EXCEPTION(KelvastoError, FingerprintJpeg(bytes));
    }
};

KELVASTO_REGISTER_TEST(TestPictureFingerprint)
#include "test_picture_fingerprint.moc"
