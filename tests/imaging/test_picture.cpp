#include "common/test_registry.h"
#include "picture_samples.h"

#include "base/errors.h"
#include "imaging/picture.h"
#include "imaging/qimage_convert.h"

#include <QTest>

class TestPicture : public QObject {
    Q_OBJECT
private slots:
    void rowsAreAlignedToFourBytes_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("stride");
        QTest::newRow("1") << 1 << 4;
        QTest::newRow("2") << 2 << 8;
        QTest::newRow("3") << 3 << 12;
        QTest::newRow("4") << 4 << 12;
        QTest::newRow("5") << 5 << 16;
        QTest::newRow("6000") << 6000 << 18000;
    }
    void rowsAreAlignedToFourBytes() {
        QFETCH(int, width);
        QFETCH(int, stride);
        const Picture p(width, 2);
        QCOMPARE(p.stride(), std::size_t(stride));
        QCOMPARE(p.row(1) - p.row(0), std::ptrdiff_t(stride));
        QCOMPARE(int(p.pixel(0, 0)[0]), 0);
    }

    void pixelsAreBlueGreenRed() {
        Picture p(2, 1);
        p.setRgb(1, 0, 10, 20, 30);
        QCOMPARE(int(p.pixel(1, 0)[0]), 30);
        QCOMPARE(int(p.pixel(1, 0)[1]), 20);
        QCOMPARE(int(p.pixel(1, 0)[2]), 10);
    }

    void impossibleSizesAreRefused_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("negative") << -1 << 5;
        QTest::newRow("60000 square") << 60000 << 60000;
        QTest::newRow("one endless row") << 2000000000 << 1;
    }
    void impossibleSizesAreRefused() {
        QFETCH(int, width);
        QFETCH(int, height);
        QVERIFY_THROWS_EXCEPTION(KelvastoError, Picture(width, height));
    }

    void equalityIgnoresPadding() {
        Picture a = samples::noise(5, 3, 1), b = a;
        samples::markPadding(b, 0x55);
        QVERIFY(a == b);
        b.pixel(4, 2)[2] ^= 1;
        QVERIFY(!(a == b));
        QVERIFY(!(a == samples::noise(3, 5, 1)));
    }

    void convertsToAndFromQImage() {
        const Picture p = samples::noise(7, 4, 9);
        const QImage image = ToQImage(p);
        QCOMPARE(image.size(), QSize(7, 4));
        QCOMPARE(image.pixel(3, 2), qRgb(p.pixel(3, 2)[2], p.pixel(3, 2)[1], p.pixel(3, 2)[0]));
        QVERIFY(FromQImage(image) == p);
        QVERIFY(FromQImage(image.convertToFormat(QImage::Format_RGB888)) == p);
        QVERIFY(FromQImage(QImage()).isEmpty());
        QVERIFY(ToQImage(Picture()).isNull());
    }
};

KELVASTO_REGISTER_TEST(TestPicture)
#include "test_picture.moc"
