#include "common/jpeg_builder.h"
#include "common/test_registry.h"
#include "picture_samples.h"

#include "base/errors.h"
#include "imaging/jpeg_codec.h"
#include "imaging/resample.h"
#include "imaging/scale_to_fit.h"

#include <QTest>

class TestScaleToFit : public QObject {
    Q_OBJECT
private slots:
    void sizeTruncatesTheShorterSide_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("fitWidth");
        QTest::addColumn<int>("fitHeight");
        QTest::newRow("landscape") << 400 << 300 << 100 << 100 << 75;
        QTest::newRow("portrait") << 300 << 400 << 100 << 75 << 100;
        QTest::newRow("camera 640x480") << 640 << 480 << 100 << 100 << 75;
        QTest::newRow("square") << 500 << 500 << 100 << 100 << 100;
        QTest::newRow("truncated, not rounded") << 1000 << 667 << 100 << 100 << 66;
        QTest::newRow("tiny is enlarged") << 1 << 1 << 100 << 100 << 100;
        QTest::newRow("small landscape enlarged") << 40 << 30 << 300 << 300 << 225;
        // (1 / 3) * 300 is 100 in double arithmetic; a rounding-free integer
        // formula would give 99 and the ratio-first rule must not.
        QTest::newRow("ratio first") << 1 << 3 << 300 << 100 << 300;
        QTest::newRow("strip keeps a pixel") << 1000 << 1 << 100 << 100 << 1;
        QTest::newRow("tall strip keeps a pixel") << 1 << 5000 << 40 << 1 << 40;
    }
    void sizeTruncatesTheShorterSide() {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, limit);
        QFETCH(int, fitWidth);
        QFETCH(int, fitHeight);
        const FitSize fit = ScaledFitSize(width, height, limit, limit);
        QCOMPARE(fit.width, fitWidth);
        QCOMPARE(fit.height, fitHeight);

        Picture picture = samples::noise(width, height, 7);
        ScaleToFit(picture, limit, limit);
        QCOMPARE(picture.width(), fitWidth);
        QCOMPARE(picture.height(), fitHeight);
    }

    void unusableSizesAreRefused() {
        QVERIFY_THROWS_EXCEPTION(KelvastoError, ScaledFitSize(0, 10, 100, 100));
        QVERIFY_THROWS_EXCEPTION(KelvastoError, ScaledFitSize(10, 10, 0, 0));
        Picture empty;
        ScaleToFit(empty, 100, 100);
        QVERIFY(empty.isEmpty());
    }

    void resamplingAveragesTheCoveredArea_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("shrink 4:1") << 2 << 1;
        QTest::newRow("shrink uneven") << 3 << 1;
        QTest::newRow("same size") << 8 << 2;
        QTest::newRow("enlarge") << 24 << 5;
    }
    void resamplingAveragesTheCoveredArea() {
        QFETCH(int, width);
        QFETCH(int, height);
        // Black and white columns in turn: every area of whole pairs is grey.
        Picture stripes(8, 2);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 8; x += 2)
                stripes.setRgb(x, y, 255, 255, 255);
        const Picture out = ResamplePicture(stripes, width, height);
        QCOMPARE(out.width(), width);
        QCOMPARE(out.height(), height);
        long long sum = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                sum += out.pixel(x, y)[1];
        // Area averaging keeps the mean brightness (half white) within rounding.
        const double mean = double(sum) / (width * height);
        QVERIFY2(qAbs(mean - 127.5) < 2.0, qPrintable(QString::number(mean)));
        if (width == 2)
            QCOMPARE(int(out.pixel(0, 0)[0]), 128);
    }

    void flatPicturesStayExactlyFlat() {
        for (int v : {0, 1, 77, 128, 254, 255}) {
            const Picture flat = samples::flat(37, 23, v, 255 - v, v / 2);
            for (auto [w, h] : {std::pair{5, 3}, std::pair{37, 23}, std::pair{100, 61}}) {
                const Picture out = ResamplePicture(flat, w, h);
                QVERIFY(out == samples::flat(w, h, v, 255 - v, v / 2));
            }
        }
    }

    void decodingAtSizeGivesExactlyThatSize_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("limit");
        QTest::newRow("shrunk by DCT scaling") << 640 << 480 << 100;
        QTest::newRow("portrait") << 480 << 640 << 100;
        QTest::newRow("not a multiple of 8") << 333 << 1001 << 40;
        QTest::newRow("one pixel enlarged") << 1 << 1 << 100;
        QTest::newRow("enlarged") << 50 << 20 << 300;
    }
    void decodingAtSizeGivesExactlyThatSize() {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, limit);
        const QByteArray file = JpegBuilder::picture(width, height, 200, 40, 90);
        const JpegSize full = ReadJpegSize(file);
        QCOMPARE(full.width, width);
        QCOMPARE(full.height, height);
        const FitSize fit = ScaledFitSize(width, height, limit, limit);
        const Picture picture = DecodeJpegAtSize(file, fit);
        QCOMPARE(picture.width(), fit.width);
        QCOMPARE(picture.height(), fit.height);
        const std::uint8_t* middle = picture.pixel(fit.width / 2, fit.height / 2);
        QVERIFY(qAbs(middle[2] - 200) < 8 && qAbs(middle[1] - 40) < 8 && qAbs(middle[0] - 90) < 8);
    }

    void damagedDataRaises() {
        const QByteArray cut = JpegBuilder::picture(64, 64).left(20);
        QVERIFY_THROWS_EXCEPTION(KelvastoError, DecodeJpegAtSize(cut, {10, 10}));
        QVERIFY_THROWS_EXCEPTION(KelvastoError, ReadJpegSize(QByteArray("not a jpeg")));
    }
};

KELVASTO_REGISTER_TEST(TestScaleToFit)
#include "test_scale_to_fit.moc"
