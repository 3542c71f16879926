#include "imaging/gaussian_blur.h"

#include "base/errors.h"
#include "imaging/parallel_rows.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

void normalise(BlurKernel& k, int size) {
    double sum = 0.0;
    for (int j = -size; j <= size; ++j)
        sum += k.weight(j);
    for (int j = -size; j <= size; ++j)
        k.weights[j + 100] = static_cast<float>(k.weight(j) / sum);
}

// The fast passes regroup the sums as w0 * v0 + sum of w[k] * (v[-k] + v[k]).
// That gives the very same doubles when every partial sum is exact: each product
// of a single-precision weight and a byte is a multiple of the finest weight's
// unit in the last place, and the total stays below 2^53 of those units. True for
// the radii in use; any kernel that fails the test takes the plain passes.
bool regroupingIsExact(const BlurKernel& k) {
    double finestUnit = 1.0;
    double total = 0.0;
    for (int j = 1; j <= k.size; ++j)
        if (k.weight(j) != k.weight(-j))
            return false;
    for (int j = -k.size; j <= k.size; ++j) {
        const float w = k.weight(j);
        if (w < 0.0f || !std::isfinite(w))
            return false;
        if (w > 0.0f)
            finestUnit = std::min(finestUnit, std::ldexp(1.0, std::ilogb(w) - 23));
        total += w;
    }
    return 255.0 * 2.0 * total / finestUnit < std::ldexp(1.0, 52);
}

double accumulate(const BlurKernel& k, const std::uint8_t* line, int n, int j, int ch) {
    double acc = 0.0;
    for (int t = -k.size; t <= k.size; ++t)
        acc += static_cast<double>(k.weight(t)) *
               line[static_cast<std::size_t>(ClampIndex(j - t, n)) * 3 + ch];
    return acc;
}

// --- fast passes -----------------------------------------------------------

// The sums gain most from wide vectors; x86-64 builds carry an AVX2 copy that
// is picked at load time where the processor has it.
#if defined(__x86_64__) && defined(__GNUC__)
#define KELVASTO_WITH_AVX2_CLONE [[gnu::target_clones("avx2", "default")]]
#else
#define KELVASTO_WITH_AVX2_CLONE
#endif

struct SymmetricWeights {
    int size;
    double centre;
    std::vector<double> side; // side[t - 1] is the weight of offsets -t and t
};

SymmetricWeights symmetric(const BlurKernel& k) {
    SymmetricWeights s{k.size, k.weight(0), {}};
    for (int t = 1; t <= k.size; ++t)
        s.side.push_back(k.weight(t));
    return s;
}

// Sums of `count` values: out[i] = centre * v[i] + sum of side * (v[i - t*step] +
// v[i + t*step]); `v` has the border values already repeated around it. Blocks
// keep the sums in the first-level cache while the taps sweep over them.
KELVASTO_WITH_AVX2_CLONE void symmetricSums(const SymmetricWeights& s, const double* v,
                                            std::ptrdiff_t step, std::size_t count, double* out) {
    constexpr std::size_t kBlock = 512;
    const double centre = s.centre;
    for (std::size_t b = 0; b < count; b += kBlock) {
        const std::size_t n = std::min(kBlock, count - b);
        double* o = out + b;
        const double* c = v + b;
        for (std::size_t i = 0; i < n; ++i)
            o[i] = centre * c[i];
        for (int t = 1; t <= s.size; ++t) {
            const double w = s.side[t - 1];
            const double* lo = c - t * step;
            const double* hi = c + t * step;
            for (std::size_t i = 0; i < n; ++i)
                o[i] += w * (lo[i] + hi[i]);
        }
    }
}

void storeBytes(const double* sums, std::size_t count, std::uint8_t* out) {
    for (std::size_t i = 0; i < count; ++i)
        out[i] = ClampToByte(sums[i]);
}

void blurRowsFast(const SymmetricWeights& s, const Picture& p, Picture& out, int first, int last) {
    const int w = p.width();
    const std::size_t used = static_cast<std::size_t>(w) * 3;
    const std::size_t pad = static_cast<std::size_t>(s.size) * 3;
    std::vector<double> padded(used + 2 * pad);
    std::vector<double> sums(used);
    for (int y = first; y < last; ++y) {
        const std::uint8_t* row = p.row(y);
        for (std::size_t i = 0; i < pad; ++i) {
            padded[i] = row[i % 3];
            padded[pad + used + i] = row[used - 3 + i % 3];
        }
        for (std::size_t i = 0; i < used; ++i)
            padded[pad + i] = row[i];
        symmetricSums(s, padded.data() + pad, 3, used, sums.data());
        storeBytes(sums.data(), used, out.row(y));
    }
}

// Output rows first..last-1 of the column pass, read from `source`. Rows are
// taken as doubles a chunk at a time, with the rows the taps reach above and
// below, so that the taps address them with a fixed step.
void blurColumnsFast(const SymmetricWeights& s, const Picture& source, Picture& out, int first,
                     int last) {
    constexpr int kChunkRows = 32;
    const int h = source.height();
    const std::size_t used = static_cast<std::size_t>(source.width()) * 3;
    std::vector<double> rows((kChunkRows + 2 * static_cast<std::size_t>(s.size)) * used);
    std::vector<double> sums(used);
    for (int chunk = first; chunk < last; chunk += kChunkRows) {
        const int chunkEnd = std::min(chunk + kChunkRows, last);
        const int top = chunk - s.size, bottom = chunkEnd + s.size; // bottom exclusive
        for (int y = top; y < bottom; ++y) {
            const std::uint8_t* src = source.row(ClampIndex(y, h));
            double* dst = rows.data() + static_cast<std::size_t>(y - top) * used;
            for (std::size_t i = 0; i < used; ++i)
                dst[i] = src[i];
        }
        for (int y = chunk; y < chunkEnd; ++y) {
            const double* centre = rows.data() + static_cast<std::size_t>(y - top) * used;
            symmetricSums(s, centre, static_cast<std::ptrdiff_t>(used), used, sums.data());
            storeBytes(sums.data(), used, out.row(y));
        }
    }
}

void fastBlur(const BlurKernel& k, Picture& p) {
    const SymmetricWeights s = symmetric(k);
    const long long work = static_cast<long long>(p.width()) * p.height() * (k.size + 1);
    Picture rowPass(p.width(), p.height());
    ForEachRowBand(p.height(), work,
                   [&](int first, int last) { blurRowsFast(s, p, rowPass, first, last); });
    ForEachRowBand(p.height(), work,
                   [&](int first, int last) { blurColumnsFast(s, rowPass, p, first, last); });
}

} // namespace

BlurKernel BuildBlurKernel(double radius) {
    if (!(radius > 0.0) || !std::isfinite(radius))
        throw KelvastoError("blur radius must be a positive number");
    BlurKernel k;
    for (int j = -100; j <= 100; ++j) {
        const double t = j / radius;
        k.weights[j + 100] = static_cast<float>(std::exp(-t * t / 2.0));
    }
    normalise(k, 100);
    // Drop outer weights while together they could not move an 8-bit result.
    const double delta = 1.0 / (2.0 * 255.0);
    int size = 100;
    double acc = 0.0;
    while (acc < delta && size > 1) {
        acc += 2.0 * k.weight(size);
        --size;
    }
    k.size = size;
    normalise(k, size);
    return k;
}

void BlurLine(const BlurKernel& kernel, std::uint8_t* line, int n,
              std::vector<std::uint8_t>& scratch) {
    const std::size_t bytes = static_cast<std::size_t>(n) * 3;
    scratch.resize(bytes);
    for (int j = 0; j < n; ++j)
        for (int ch = 0; ch < 3; ++ch)
            scratch[static_cast<std::size_t>(j) * 3 + ch] =
                ClampToByte(accumulate(kernel, line, n, j, ch));
    std::memcpy(line, scratch.data(), bytes);
}

void plain::GBlur(Picture& p, double radius) {
    const BlurKernel k = BuildBlurKernel(radius);
    const int w = p.width(), h = p.height();
    std::vector<std::uint8_t> scratch;
    for (int y = 0; y < h; ++y)
        BlurLine(k, p.row(y), w, scratch);
    std::vector<std::uint8_t> column(static_cast<std::size_t>(h) * 3);
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; ++y)
            std::memcpy(&column[static_cast<std::size_t>(y) * 3], p.pixel(x, y), 3);
        BlurLine(k, column.data(), h, scratch);
        for (int y = 0; y < h; ++y)
            std::memcpy(p.pixel(x, y), &column[static_cast<std::size_t>(y) * 3], 3);
    }
}

void GBlur(Picture& p, double radius) {
    const BlurKernel k = BuildBlurKernel(radius);
    if (p.isEmpty())
        return;
    if (!regroupingIsExact(k)) {
        plain::GBlur(p, radius);
        return;
    }
    fastBlur(k, p);
}

void GBlur(QImage& image, double radius) {
    if (image.isNull() || image.format() != QImage::Format_BGR888)
        throw KelvastoError("GBlur only works for 24-bit bitmaps");
    Picture p(image.width(), image.height());
    const std::size_t used = static_cast<std::size_t>(image.width()) * 3;
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(p.row(y), image.constScanLine(y), used);
    GBlur(p, radius);
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(image.scanLine(y), p.row(y), used);
}
