// The gradient painter: step lengths, line colours, coverage and clipping.
#include "common/test_registry.h"
#include "ui/dialogs/draw_gradient.h"

#include <QImage>
#include <QPainter>
#include <QTest>

namespace {

const QColor kMarker(1, 2, 3);

QImage Paint(QSize canvas, const QRect& rect, bool horizontal, const QList<QColor>& colours) {
    QImage image(canvas, QImage::Format_RGB32);
    image.fill(kMarker);
    QPainter painter(&image);
    DrawGradient(painter, rect, horizontal, colours);
    return image;
}

} // namespace

class TestDrawGradient : public QObject {
    Q_OBJECT
private slots:
    void stepLengthRoundsHalfToEven_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("steps");
        QTest::addColumn<int>("length");
        QTest::newRow("one step") << 256 << 1 << 256;
        QTest::newRow("2.5 -> 2") << 5 << 2 << 2;
        QTest::newRow("3.5 -> 4") << 7 << 2 << 4;
        QTest::newRow("1.5 -> 2") << 6 << 4 << 2;
        QTest::newRow("0.5 -> 0") << 1 << 2 << 0;
        QTest::newRow("2.75 -> 3") << 11 << 4 << 3;
        QTest::newRow("empty") << 0 << 1 << 0;
    }
    void stepLengthRoundsHalfToEven() {
        QFETCH(int, size);
        QFETCH(int, steps);
        QFETCH(int, length);
        QCOMPARE(GradientStepLength(size, steps), length);
    }

    void whiteToSilverLines_data() {
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("value");
        QTest::newRow("first") << 0 << 255;
        QTest::newRow("middle 223.38") << 128 << 223;
        QTest::newRow("last") << 255 << 192;
    }
    void whiteToSilverLines() {
        QFETCH(int, line);
        QFETCH(int, value);
        // 256 pixels, one step: L = 256 - 0 - 1 = 255.
        const QColor c = GradientLineColour(Qt::white, QColor(192, 192, 192), line, 255);
        QCOMPARE(c, QColor(value, value, value));
        const QImage image = Paint({256, 3}, {0, 0, 256, 3}, true, WhiteToSilver());
        for (int y = 0; y < 3; ++y)
            QCOMPARE(image.pixelColor(line, y), QColor(value, value, value));
    }

    void wholeNumbersStayWhole() {
        // 255 - 255 * 85 / 255 is exactly 170; floating rounding must not give 169.
        QCOMPARE(GradientLineColour(Qt::white, Qt::black, 85, 255), QColor(170, 170, 170));
        QCOMPARE(GradientLineColour(Qt::black, Qt::white, 1, 3), QColor(85, 85, 85));
        QCOMPARE(GradientLineColour(QColor(10, 200, 30), QColor(200, 10, 30), 1, 2),
                 QColor(105, 105, 30));
    }

    void everyLineIsPaintedAndFollowsItsColour_data() {
        QTest::addColumn<bool>("horizontal");
        QTest::newRow("horizontal") << true;
        QTest::newRow("vertical") << false;
    }
    void everyLineIsPaintedAndFollowsItsColour() {
        QFETCH(bool, horizontal);
        const QList<QColor> colours{Qt::red, Qt::green, Qt::blue};
        const QSize canvas = horizontal ? QSize(40, 5) : QSize(5, 40);
        const QRect area = horizontal ? QRect(3, 1, 31, 3) : QRect(1, 3, 3, 31);
        const QImage image = Paint(canvas, area, horizontal, colours);
        // Later lines win, so the expected colour of a position is the last one listed.
        QList<QColor> expected(31);
        for (const GradientLine& line : GradientLines(31, colours))
            expected[line.position] = line.colour;
        for (int pos = 0; pos < 31; ++pos)
            for (int across = 0; across < 3; ++across) {
                const QPoint at =
                    horizontal ? QPoint(3 + pos, 1 + across) : QPoint(1 + across, 3 + pos);
                QCOMPARE(image.pixelColor(at), expected[pos]);
            }
        // Nothing outside the area.
        for (int x = 0; x < canvas.width(); ++x)
            for (int y = 0; y < canvas.height(); ++y)
                if (!area.contains(x, y))
                    QCOMPARE(image.pixelColor(x, y), kMarker);
        // Step 16 (31 / 2 = 15.5 -> 16): red at 0, green at 16, blue at the end.
        QCOMPARE(expected[0], QColor(Qt::red));
        QCOMPARE(expected[16], QColor(Qt::green));
        QCOMPARE(expected[30], QColor(Qt::blue));
    }

    void roundedUpStepsStayInsideTheArea() {
        // 6 pixels, 4 steps of 2: the third step would end at 6 and the last
        // step has length -1; nothing may land beside the area.
        const QList<QColor> colours{Qt::white, Qt::red, Qt::green, Qt::blue, Qt::black};
        const QImage image = Paint({10, 1}, {2, 0, 6, 1}, true, colours);
        for (int x : {0, 1, 8, 9})
            QCOMPARE(image.pixelColor(x, 0), kMarker);
        for (int x = 2; x < 8; ++x)
            QVERIFY(image.pixelColor(x, 0) != kMarker);
        for (const GradientLine& line : GradientLines(6, colours))
            QVERIFY(line.position >= 0 && line.position < 6);
    }

    void degenerateAreas() {
        // One pixel wide: the only step has length 0 and shows its start colour.
        QCOMPARE(Paint({1, 2}, {0, 0, 1, 2}, true, WhiteToSilver()).pixelColor(0, 1),
                 QColor(Qt::white));
        // Empty and inverted rectangles draw nothing.
        QCOMPARE(Paint({4, 4}, {0, 0, 0, 4}, true, WhiteToSilver()).pixelColor(0, 0), kMarker);
        QCOMPARE(Paint({4, 4}, {3, 0, -2, 4}, true, WhiteToSilver()).pixelColor(2, 0), kMarker);
    }

    void fewerThanTwoColoursFail_data() {
        QTest::addColumn<QList<QColor>>("colours");
        QTest::newRow("none") << QList<QColor>{};
        QTest::newRow("one") << QList<QColor>{Qt::white};
    }
    void fewerThanTwoColoursFail() {
        QFETCH(QList<QColor>, colours);
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(kMarker);
        QPainter painter(&image);
        try {
            DrawGradient(painter, {0, 0, 4, 4}, true, colours);
            QFAIL("no error");
        } catch (const std::domain_error& e) {
            QCOMPARE(QString::fromUtf8(e.what()),
                     QString("Es müssen mindestens zwei Farben angegeben werden."));
        }
        painter.end();
        QCOMPARE(image.pixelColor(2, 2), kMarker);
    }
};

KELVASTO_REGISTER_TEST(TestDrawGradient)
#include "test_draw_gradient.moc"
