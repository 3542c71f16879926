#include "common/test_registry.h"
#include "picture_samples.h"

#include "base/errors.h"
#include "imaging/gaussian_blur.h"

#include <QTest>

#include <cmath>
#include <cstring>
#include <limits>

class TestGaussianBlur : public QObject {
    Q_OBJECT
private slots:
    void kernelIsTrimmedToTheWeightsThatMatter_data() {
        QTest::addColumn<double>("radius");
        QTest::addColumn<int>("size");
        QTest::newRow("2.0") << 2.0 << 5;
        QTest::newRow("3.0") << 3.0 << 8;
    }
    void kernelIsTrimmedToTheWeightsThatMatter() {
        QFETCH(double, radius);
        QFETCH(int, size);
        const BlurKernel k = BuildBlurKernel(radius);
        QCOMPARE(k.size, size);
        double sum = 0;
        for (int j = -size; j <= size; ++j) {
            QCOMPARE(k.weight(j), k.weight(-j));
            sum += k.weight(j);
        }
        QVERIFY(std::abs(sum - 1.0) < 1e-6);
        QVERIFY(k.weight(0) > k.weight(1));
    }

    void unusableRadiusIsRefused_data() {
        QTest::addColumn<double>("radius");
        QTest::newRow("0") << 0.0;
        QTest::newRow("negative") << -2.0;
        QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity();
    }
    void unusableRadiusIsRefused() {
        QFETCH(double, radius);
        Picture p = samples::noise(3, 3, 1);
        const Picture before = p;
        QVERIFY_THROWS_EXCEPTION(KelvastoError, GBlur(p, radius));
        QVERIFY(p == before);
    }

    void clampToByteAbsorbsRoundingNoise_data() {
        QTest::addColumn<double>("acc");
        QTest::addColumn<int>("expected");
        QTest::newRow("white") << 255.0 << 255;
        QTest::newRow("just under white") << 255.0 - 5e-5 << 255;
        QTest::newRow("below the slack") << 254.9998 << 254;
        QTest::newRow("over") << 300.0 << 255;
        QTest::newRow("negative") << -0.5 << 0;
        QTest::newRow("zero") << 0.0 << 0;
        QTest::newRow("noise under 13") << 13.0 - 4e-6 << 13;
        QTest::newRow("half") << 12.5 << 12;
        QTest::newRow("almost 13") << 12.999 << 12;
    }
    void clampToByteAbsorbsRoundingNoise() {
        QFETCH(double, acc);
        QFETCH(int, expected);
        QCOMPARE(int(ClampToByte(acc)), expected);
    }

    void flatPicturesStayExactlyAsTheyAre() {
        for (double radius : {2.0, 3.0}) {
            for (int v = 0; v <= 255; ++v) {
                const Picture flat = samples::flat(7, 6, v, v, 255 - v);
                Picture fast = flat, reference = flat;
                GBlur(fast, radius);
                plain::GBlur(reference, radius);
                QVERIFY2(fast == flat, qPrintable(QStringLiteral("%1 at %2").arg(v).arg(radius)));
                QVERIFY2(reference == flat, qPrintable(QString::number(v)));
            }
        }
    }

    void blurSpreadsAPointSymmetrically() {
        Picture p = samples::flat(21, 21, 0, 0, 0);
        p.setRgb(10, 10, 255, 255, 255);
        GBlur(p, 2.0);
        QVERIFY(p.pixel(10, 10)[0] < 255);
        QVERIFY(p.pixel(10, 10)[0] > p.pixel(11, 10)[0]);
        QCOMPARE(p.pixel(9, 10)[0], p.pixel(11, 10)[0]);
        QCOMPARE(p.pixel(10, 8)[0], p.pixel(8, 10)[0]);
        QCOMPARE(int(p.pixel(0, 0)[0]), 0);
    }

    void fastPassesMatchPlainDefinition_data() {
        QTest::addColumn<double>("radius");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        const std::pair<int, int> sizes[] = {{1, 1}, {1, 9}, {9, 1}, {13, 11}, {640, 480}};
        for (double radius : {2.0, 3.0, 0.7, 12.5})
            for (const auto& [w, h] : sizes)
                QTest::addRow("r%g %dx%d", radius, w, h) << radius << w << h;
    }
    void fastPassesMatchPlainDefinition() {
        QFETCH(double, radius);
        QFETCH(int, width);
        QFETCH(int, height);
        if (width * height > 10000 && radius > 5)
            QSKIP("the plain passes are too slow for this size under the sanitizers");
        Picture fast = samples::noise(width, height, 99, true), reference = fast;
        GBlur(fast, radius);
        plain::GBlur(reference, radius);
        QVERIFY(fast == reference);
    }

    void blurLineReadsTheUnchangedLine() {
        // Blurring in place would feed earlier results into later sums; a line
        // blurred through BlurLine matches a row of the plain blur's first pass.
        const BlurKernel k = BuildBlurKernel(2.0);
        Picture p = samples::noise(30, 1, 8);
        std::vector<std::uint8_t> line(p.row(0), p.row(0) + 90), scratch;
        BlurLine(k, line.data(), 30, scratch);
        plain::GBlur(p, 2.0); // one row: the column pass leaves it as it is
        QVERIFY(std::memcmp(line.data(), p.row(0), 90) == 0);
    }

    void onlyTwentyFourBitImagesAreBlurred_data() {
        QTest::addColumn<QImage>("image");
        QTest::newRow("null") << QImage();
        QTest::newRow("32-bit") << QImage(4, 4, QImage::Format_RGB32);
        QTest::newRow("8-bit") << QImage(4, 4, QImage::Format_Grayscale8);
        QTest::newRow("RGB order") << QImage(4, 4, QImage::Format_RGB888);
    }
    void onlyTwentyFourBitImagesAreBlurred() {
        QFETCH(QImage, image);
        image.fill(0x123456);
        const QImage before = image.copy();
        try {
            GBlur(image, 2.0);
            QFAIL("no error");
        } catch (const KelvastoError& e) {
            QCOMPARE(QString::fromUtf8(e.what()),
                     QStringLiteral("GBlur only works for 24-bit bitmaps"));
        }
        QCOMPARE(image, before);
    }

    void twentyFourBitImageIsBlurredLikeAPicture() {
        Picture p = samples::noise(9, 7, 3);
        QImage image(9, 7, QImage::Format_BGR888);
        for (int y = 0; y < 7; ++y)
            std::memcpy(image.scanLine(y), p.row(y), 27);
        GBlur(image, 3.0);
        GBlur(p, 3.0);
        for (int y = 0; y < 7; ++y)
            QVERIFY(std::memcmp(image.constScanLine(y), p.row(y), 27) == 0);
    }
};

KELVASTO_REGISTER_TEST(TestGaussianBlur)
#include "test_gaussian_blur.moc"
