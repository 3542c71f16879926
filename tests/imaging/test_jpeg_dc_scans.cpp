#include "common/jpeg_builder.h"
#include "common/test_registry.h"
#include "picture_samples.h"

#include "imaging/jpeg_codec.h"
#include "imaging/jpeg_dc_scans.h"
#include "imaging/scale_to_fit.h"

#include <QTest>

namespace {

Picture decodeEighth(const QByteArray& data, int width, int height) {
    JpegDecodeOptions options;
    options.fast = true;
    options.minWidth = width;
    options.minHeight = height;
    return DecodeJpeg(data, options);
}

// Colours that change slowly across the picture, as in most of a photograph,
// with a sharp edge in the middle.
Picture gradient(int width, int height) {
    Picture p(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p.setRgb(x, y, std::uint8_t(x * 255 / width), std::uint8_t(y * 255 / height),
                     x < width / 2 ? 40 : 220);
    return p;
}

} // namespace

class TestJpegDcScans : public QObject {
    Q_OBJECT
private slots:
    void averagesAloneGiveTheEighthScalePicture() {
        const Picture photo = gradient(403, 251);
        const QByteArray file = samples::encodeJpeg(photo, samples::JpegForm::Progressive, 90);
        const QByteArray averages = WithoutDetailScans(file);
        QVERIFY(!averages.isEmpty());
        QVERIFY(averages.size() < file.size() / 2);
        const Picture full = decodeEighth(file, 51, 32);
        const Picture shortened = decodeEighth(averages, 51, 32);
        QCOMPARE(shortened.width(), 51);
        QCOMPARE(shortened.height(), 32);
        // Luma is exact; chroma loses only what lies within one block.
        QVERIFY2(samples::meanDifference(full, shortened) < 2.5,
                 qPrintable(QString::number(samples::meanDifference(full, shortened))));
    }

    void otherFilesAreLeftAlone_data() {
        QTest::addColumn<QByteArray>("data");
        const Picture photo = samples::noise(64, 40, 3, true);
        QTest::newRow("baseline") << samples::encodeJpeg(photo, samples::JpegForm::Colour);
        QTest::newRow("not a JPEG") << QByteArray("hello world");
        QTest::newRow("empty") << QByteArray();
        const QByteArray progressive = samples::encodeJpeg(photo, samples::JpegForm::Progressive);
        QTest::newRow("cut inside a segment length") << progressive.left(21);
        QByteArray badLength = progressive;
        badLength[4] = char(0x7F); // the first segment claims to run past the end
        QTest::newRow("segment longer than the file") << badLength;
        QTest::newRow("builder segments") << JpegBuilder().soi().app(1, 100).com("x").eoi().bytes();
    }
    void otherFilesAreLeftAlone() {
        QFETCH(QByteArray, data);
        QVERIFY(WithoutDetailScans(data).isEmpty());
    }

    void fastDecodingStaysCloseToTheAccurateOne() {
        // A photograph-like picture decoded at 100 x 62 both ways.
        const Picture photo = gradient(960, 600);
        const QByteArray file = samples::encodeJpeg(photo, samples::JpegForm::Progressive, 90);
        const FitSize fit = ScaledFitSize(960, 600, 100, 100);
        const Picture fast = DecodeJpegAtSize(file, fit);
        Picture accurate = DecodeJpeg(file);
        ScaleToFit(accurate, 100, 100);
        QCOMPARE(fast.width(), accurate.width());
        QCOMPARE(fast.height(), accurate.height());
        QVERIFY2(samples::meanDifference(fast, accurate) < 4.0,
                 qPrintable(QString::number(samples::meanDifference(fast, accurate))));
    }

    void damagedDetailScansDoNotMatter() {
        const Picture photo = samples::noise(320, 200, 9, true);
        QByteArray file = samples::encodeJpeg(photo, samples::JpegForm::Progressive, 90);
        const QByteArray averages = WithoutDetailScans(file);
        // Cut the file in its last scan: the averages come out the same.
        QCOMPARE(WithoutDetailScans(file.left(file.size() - 40)), averages);
    }
};

KELVASTO_REGISTER_TEST(TestJpegDcScans)
#include "test_jpeg_dc_scans.moc"
