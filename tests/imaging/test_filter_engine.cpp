#include "common/test_registry.h"
#include "picture_samples.h"

#include "imaging/filter_engine.h"

#include <QTest>

using Rgb = std::vector<int>;

namespace {

Picture greyRows(int width, int height, const std::vector<int>& values) {
    Rgb rgb;
    for (int v : values)
        rgb.insert(rgb.end(), {v, v, v});
    return samples::fromRgb(width, height, rgb);
}

std::vector<int> greyValues(const Picture& p) {
    std::vector<int> out;
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x)
            out.push_back(p.pixel(x, y)[0]);
    return out;
}

FilterTableKernel kernel3(std::array<std::int32_t, 9> v, std::int32_t divisor) {
    FilterTableKernel k;
    std::copy(v.begin(), v.end(), k.values.begin());
    k.divisor = divisor;
    return k;
}

FilterTableKernel kernel5(std::array<std::int32_t, 25> v, std::int32_t divisor) {
    FilterTableKernel k;
    k.fiveByFive = true;
    k.values = v;
    k.divisor = divisor;
    return k;
}

// A 5x5 kernel with weight on its outer ring, so the engine takes the 5x5 window.
const FilterTableKernel kRingKernel =
    kernel5({1, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, -1, 0, 0, 0, 3}, 9);

std::vector<int> convolved(Picture p, const FilterTableKernel& kernel) {
    ImagingContext c;
    PrepareWorkBitmaps(c, p);
    SelectFilterKernel(c, kernel);
    ConvolvePicture(c);
    CopyWorkBitmapInto(c, p);
    return greyValues(p);
}

} // namespace

Q_DECLARE_METATYPE(FilterTableKernel)

class TestFilterEngine : public QObject {
    Q_OBJECT
private slots:
    void threeByThreeKernelFillsTheInnerSquare() {
        ImagingContext c;
        c.FilterKernel.fill(99);
        SelectFilterKernel(c, SharpenKernel);
        const KernelValues expected{0,  0, 0, 0,  0,  0,  -1, -2, -1, 0, 0, -2, 28,
                                    -2, 0, 0, -1, -2, -1, 0,  0,  0,  0, 0, 0};
        QCOMPARE(c.FilterKernel, expected);
        QCOMPARE(c.KernelDivisor, 16);
    }

    void neighboursOutsideTakeTheCentreValue_data() {
        QTest::addColumn<FilterTableKernel>("kernel");
        QTest::addColumn<std::vector<int>>("expected");
        // Only the upper-left tap: each pixel takes its upper-left neighbour, or
        // keeps its own value where that neighbour lies outside.
        QTest::newRow("upper-left tap")
            << kernel3({1, 0, 0, 0, 0, 0, 0, 0, 0}, 1) << std::vector<int>{10, 20, 30, 40, 10, 20};
        // (0,0): -10-20-10-20+280-40-10-80-50 = 40, /16 = 2 (truncated).
        // (1,1): -10-40-30-80+1400-120-50-100-50 = 920, /16 = 57.
        QTest::newRow("sharpen") << SharpenKernel << std::vector<int>{2, 12, 26, 43, 57, 67};
        QTest::newRow("divisor 0 counts as 1")
            << kernel3({0, 0, 0, 0, 1, 0, 0, 0, 0}, 0) << std::vector<int>{10, 20, 30, 40, 50, 60};
        QTest::newRow("clamps high and low") << kernel3({0, 0, 0, 0, 10, 0, 0, 0, -3}, 1)
                                             << std::vector<int>{0, 20, 210, 255, 255, 255};
    }
    void neighboursOutsideTakeTheCentreValue() {
        QFETCH(FilterTableKernel, kernel);
        QFETCH(std::vector<int>, expected);
        const Picture p = greyRows(3, 2, {10, 20, 30, 40, 50, 60});
        QCOMPARE(convolved(p, kernel), expected);
    }

    void outerRingSelectsTheFiveByFiveWindow() {
        // Only index 0 (two up, two left): pixel (2, 2) takes pixel (0, 0).
        std::array<std::int32_t, 25> v{};
        v[0] = 1;
        std::vector<int> values(9);
        for (int i = 0; i < 9; ++i)
            values[i] = 10 * (i + 1);
        const std::vector<int> out = convolved(greyRows(3, 3, values), kernel5(v, 1));
        QCOMPARE(out, (std::vector<int>{10, 20, 30, 40, 50, 60, 70, 80, 10}));
    }

    void sharpenKeepsFlatPictures_data() {
        QTest::addColumn<int>("value");
        for (int v : {0, 1, 127, 128, 254, 255})
            QTest::newRow(qPrintable(QString::number(v))) << v;
    }
    void sharpenKeepsFlatPictures() {
        QFETCH(int, value);
        const Picture flat = samples::flat(7, 5, value, value, value);
        Picture p = flat;
        SharpenPicture(p);
        QVERIFY(p == flat);
    }

    void fastPassMatchesPlainDefinition_data() {
        QTest::addColumn<FilterTableKernel>("kernel");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        const std::pair<const char*, FilterTableKernel> kernels[] = {
            {"sharpen", SharpenKernel}, {"edge", EdgeKernel}, {"ring", kRingKernel}};
        const std::pair<int, int> sizes[] = {{1, 1}, {2, 2}, {4, 3}, {5, 5}, {3, 17}, {500, 400}};
        for (const auto& [name, kernel] : kernels)
            for (const auto& [w, h] : sizes)
                QTest::addRow("%s %dx%d", name, w, h) << kernel << w << h;
    }
    void fastPassMatchesPlainDefinition() {
        QFETCH(FilterTableKernel, kernel);
        QFETCH(int, width);
        QFETCH(int, height);
        const Picture source = samples::noise(width, height, 21, true);
        ImagingContext fast, reference;
        PrepareWorkBitmaps(fast, source);
        PrepareWorkBitmaps(reference, source);
        SelectFilterKernel(fast, kernel);
        SelectFilterKernel(reference, kernel);
        ConvolvePicture(fast);
        plain::ConvolvePicture(reference);
        QVERIFY(fast.WorkBitmap == reference.WorkBitmap);
    }

    void rowTablesGrowWithTallPictures() {
        const Picture source = samples::noise(3, 3000, 4);
        ImagingContext c;
        Picture p = source;
        SharpenPicture(c, p);
        QCOMPARE(c.WorkRows.size(), std::size_t{3000});
        QCOMPARE(c.AuxRows.size(), std::size_t{3000});
        ImagingContext reference;
        PrepareWorkBitmaps(reference, source);
        SelectFilterKernel(reference, SharpenKernel);
        plain::ConvolvePicture(reference);
        QVERIFY(p == reference.WorkBitmap);
        // A smaller picture afterwards shrinks the tables to its rows.
        Picture small = samples::noise(4, 4, 1);
        SharpenPicture(c, small);
        QCOMPARE(c.WorkRows.size(), std::size_t{4});
        // A pass over a WorkBitmap swapped in behind the engine's back rebuilds them.
        c.WorkBitmap = source;
        ConvolvePicture(c);
        QVERIFY(c.WorkBitmap == reference.WorkBitmap);
    }
};

KELVASTO_REGISTER_TEST(TestFilterEngine)
#include "test_filter_engine.moc"
