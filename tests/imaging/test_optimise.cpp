#include "common/test_registry.h"
#include "picture_samples.h"

#include "imaging/optimise.h"

#include <QTest>

#include <array>
#include <cmath>
#include <vector>

namespace {

// An independent rendering of the optimise rule on plain arrays, written from
// the rule's description rather than from the library: planes of ints indexed
// [channel][y][x].
using Plane = std::vector<std::vector<int>>;
using Planes = std::array<Plane, 3>;

Planes planesOf(const Picture& p) {
    Planes out;
    for (int ch = 0; ch < 3; ++ch) {
        out[ch].assign(p.height(), std::vector<int>(p.width()));
        for (int y = 0; y < p.height(); ++y)
            for (int x = 0; x < p.width(); ++x)
                out[ch][y][x] = p.pixel(x, y)[ch];
    }
    return out;
}

Plane edgeMap(const Plane& v) {
    const int h = static_cast<int>(v.size()), w = static_cast<int>(v[0].size());
    Plane out = v;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int sum = -33 * v[y][x];
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    if (dx == 0 && dy == 0)
                        continue;
                    const int nx = x + dx, ny = y + dy;
                    const bool inside = nx >= 0 && nx < w && ny >= 0 && ny < h;
                    sum += 4 * (inside ? v[ny][nx] : v[y][x]);
                }
            out[y][x] = std::clamp(sum, 0, 255);
        }
    return out;
}

std::vector<float> gaussWeights(double radius) {
    std::vector<float> w(201);
    double sum = 0;
    for (int j = -100; j <= 100; ++j) {
        w[j + 100] = float(std::exp(-(j / radius) * (j / radius) / 2));
        sum += w[j + 100];
    }
    for (float& x : w)
        x = float(x / sum);
    int size = 100;
    double tail = 0;
    while (tail < 1.0 / 510 && size > 1)
        tail += 2 * w[100 + size--];
    std::vector<float> kept(w.begin() + 100 - size, w.begin() + 101 + size);
    double keptSum = 0;
    for (float x : kept)
        keptSum += x;
    for (float& x : kept)
        x = float(x / keptSum);
    return kept;
}

int toByte(double acc) {
    if (acc >= 255 - 1e-4)
        return 255;
    return acc < 0 ? 0 : int(acc + 1e-4);
}

Plane blurred(Plane v, double radius) {
    const std::vector<float> w = gaussWeights(radius);
    const int size = int(w.size() / 2);
    const int h = int(v.size()), wd = int(v[0].size());
    Plane rows = v;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < wd; ++x) {
            double acc = 0;
            for (int k = -size; k <= size; ++k)
                acc += double(w[k + size]) * v[y][std::clamp(x - k, 0, wd - 1)];
            rows[y][x] = toByte(acc);
        }
    Plane out = rows;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < wd; ++x) {
            double acc = 0;
            for (int k = -size; k <= size; ++k)
                acc += double(w[k + size]) * rows[std::clamp(y - k, 0, h - 1)][x];
            out[y][x] = toByte(acc);
        }
    return out;
}

Picture expectedOptimised(const Picture& source) {
    const Planes o = planesOf(source);
    Planes edges, blur;
    for (int ch = 0; ch < 3; ++ch) {
        edges[ch] = blurred(edgeMap(o[ch]), 2.0);
        blur[ch] = blurred(o[ch], 3.0);
    }
    Picture out(source.width(), source.height());
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            for (int ch = 0; ch < 3; ++ch) {
                const int O = o[ch][y][x], B = blur[ch][y][x];
                const bool edge = edges[2][y][x] > 0; // red decides for all channels
                out.pixel(x, y)[ch] = std::uint8_t(edge ? (3 * O + B) / 4 : (7 * B + O) / 8);
            }
    return out;
}

} // namespace

class TestOptimise : public QObject {
    Q_OBJECT
private slots:
    void matchesAnIndependentRendering_data() {
        QTest::addColumn<Picture>("source");
        // A dark spot on a flat field: only near it does the edge map switch.
        Picture spot = samples::flat(15, 12, 90, 160, 200);
        spot.setRgb(7, 6, 20, 40, 60);
        QTest::newRow("spot") << spot;
        QTest::newRow("smooth") << samples::noise(14, 9, 17, true);
        QTest::newRow("noise") << samples::noise(11, 13, 2);
        QTest::newRow("one row") << samples::noise(9, 1, 5);
    }
    void matchesAnIndependentRendering() {
        QFETCH(Picture, source);
        Picture p = source;
        OptimisePicture(p);
        QCOMPARE(samples::rgbOf(p), samples::rgbOf(expectedOptimised(source)));
    }

    void flatPictureIsUnchanged() {
        const Picture flat = samples::flat(10, 8, 255, 0, 128);
        Picture p = flat;
        ImagingContext context;
        OptimisePicture(context, p);
        QVERIFY(p == flat);
    }
};

KELVASTO_REGISTER_TEST(TestOptimise)
#include "test_optimise.moc"
