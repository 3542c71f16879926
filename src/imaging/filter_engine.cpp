#include "imaging/filter_engine.h"

#include "imaging/parallel_rows.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

FilterTableKernel threeByThree(std::array<std::int32_t, 9> values, std::int32_t divisor) {
    FilterTableKernel k;
    std::copy(values.begin(), values.end(), k.values.begin());
    k.divisor = divisor;
    return k;
}

int windowRadius(const KernelValues& kernel) {
    for (int i = 0; i < 5; ++i)
        if (kernel[i] != 0 || kernel[20 + i] != 0 || kernel[i * 5] != 0 || kernel[i * 5 + 4] != 0)
            return 2;
    return 1;
}

std::uint8_t clampToByte(std::int32_t v) {
    return static_cast<std::uint8_t>(std::clamp(v, 0, 255));
}

void fillRowTable(RowTable& table, Picture& bitmap) {
    table.resize(bitmap.height());
    for (int y = 0; y < bitmap.height(); ++y)
        table[y] = bitmap.row(y);
}

void bindWorkBitmaps(ImagingContext& c) {
    c.PassSourceBitmap.resize(c.WorkBitmap.width(), c.WorkBitmap.height());
    c.AuxBitmap.resize(c.WorkBitmap.width(), c.WorkBitmap.height());
    fillRowTable(c.WorkRows, c.WorkBitmap);
    fillRowTable(c.PassSourceRows, c.PassSourceBitmap);
    fillRowTable(c.AuxRows, c.AuxBitmap);
}

bool rowTablesMatch(ImagingContext& c) {
    const int h = c.WorkBitmap.height();
    const auto rows = static_cast<std::size_t>(h);
    return c.PassSourceBitmap.width() == c.WorkBitmap.width() && c.PassSourceBitmap.height() == h &&
           c.WorkRows.size() == rows && c.PassSourceRows.size() == rows &&
           (h == 0 || (c.WorkRows[0] == c.WorkBitmap.row(0) &&
                       c.PassSourceRows[0] == c.PassSourceBitmap.row(0)));
}

// Starts a pass: the divisor rule and the copy of WorkBitmap into
// PassSourceBitmap. Tables that no longer fit WorkBitmap (it was changed
// without PrepareWorkBitmaps) are rebuilt rather than read past their end.
void beginPass(ImagingContext& c) {
    if (c.KernelDivisor == 0)
        c.KernelDivisor = 1;
    if (!rowTablesMatch(c))
        bindWorkBitmaps(c);
    const int h = c.WorkBitmap.height();
    const std::size_t used = static_cast<std::size_t>(c.WorkBitmap.width()) * 3;
    for (int y = 0; y < h; ++y)
        std::memcpy(c.PassSourceRows[y], c.WorkRows[y], used);
}

// One pixel with the edge rule checked at every tap.
void convolvePixel(const ImagingContext& c, int r, int x, int y) {
    const int w = c.WorkBitmap.width(), h = c.WorkBitmap.height();
    const std::uint8_t* centre = c.PassSourceRows[y] + x * 3;
    std::int32_t sum[3] = {0, 0, 0};
    for (int dy = -r; dy <= r; ++dy) {
        for (int dx = -r; dx <= r; ++dx) {
            const std::int32_t k = c.FilterKernel[(dy + 2) * 5 + (dx + 2)];
            const int nx = x + dx, ny = y + dy;
            const bool inside = nx >= 0 && nx < w && ny >= 0 && ny < h;
            const std::uint8_t* v = inside ? c.PassSourceRows[ny] + nx * 3 : centre;
            for (int ch = 0; ch < 3; ++ch)
                sum[ch] += k * v[ch];
        }
    }
    std::uint8_t* out = c.WorkRows[y] + x * 3;
    for (int ch = 0; ch < 3; ++ch)
        out[ch] = clampToByte(sum[ch] / c.KernelDivisor);
}

struct Tap {
    std::int32_t weight;
    int dy;
    std::ptrdiff_t dx; // in bytes
};

// Truncating division by the kernel's divisor; a power of two goes by shifts,
// which the compiler can vectorise, and rounds toward zero just the same.
void divideAndStore(const std::int32_t* sums, std::size_t count, std::int32_t divisor,
                    std::uint8_t* out) {
    if (divisor == 1) {
        for (std::size_t i = 0; i < count; ++i)
            out[i] = clampToByte(sums[i]);
    } else if (divisor > 0 && (divisor & (divisor - 1)) == 0) {
        const int shift = std::countr_zero(static_cast<std::uint32_t>(divisor));
        for (std::size_t i = 0; i < count; ++i) {
            const std::int32_t s = sums[i];
            out[i] = clampToByte((s + ((s >> 31) & (divisor - 1))) >> shift);
        }
    } else {
        for (std::size_t i = 0; i < count; ++i)
            out[i] = clampToByte(sums[i] / divisor);
    }
}

// Pixels whose whole window lies inside the picture, columns r..W-1-r of one
// row: one sweep along the row per non-zero tap.
void convolveInterior(const ImagingContext& c, const std::vector<Tap>& taps, int r, int y,
                      std::vector<std::int32_t>& sums) {
    const int w = c.WorkBitmap.width();
    const std::size_t first = static_cast<std::size_t>(r) * 3;
    const std::size_t count = static_cast<std::size_t>(w - 2 * r) * 3;
    sums.assign(count, 0);
    std::int32_t* acc = sums.data();
    for (const Tap& t : taps) {
        const std::uint8_t* src = c.PassSourceRows[y + t.dy] + first + t.dx;
        const std::int32_t weight = t.weight;
        for (std::size_t i = 0; i < count; ++i)
            acc[i] += weight * src[i];
    }
    divideAndStore(acc, count, c.KernelDivisor, c.WorkRows[y] + first);
}

} // namespace

const FilterTableKernel SharpenKernel = threeByThree({-1, -2, -1, -2, 28, -2, -1, -2, -1}, 16);
const FilterTableKernel EdgeKernel = threeByThree({4, 4, 4, 4, -33, 4, 4, 4, 4}, 1);

void PrepareWorkBitmaps(ImagingContext& c, const Picture& picture) {
    c.WorkBitmap.copyFrom(picture);
    bindWorkBitmaps(c);
}

void SelectFilterKernel(ImagingContext& c, const FilterTableKernel& kernel) {
    c.FilterKernel.fill(0);
    if (kernel.fiveByFive) {
        c.FilterKernel = kernel.values;
    } else {
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col)
                c.FilterKernel[(row + 1) * 5 + (col + 1)] = kernel.values[row * 3 + col];
    }
    c.KernelDivisor = kernel.divisor;
}

void plain::ConvolvePicture(ImagingContext& c) {
    beginPass(c);
    const int r = windowRadius(c.FilterKernel);
    for (int y = 0; y < c.WorkBitmap.height(); ++y)
        for (int x = 0; x < c.WorkBitmap.width(); ++x)
            convolvePixel(c, r, x, y);
}

void ConvolvePicture(ImagingContext& c) {
    beginPass(c);
    const int r = windowRadius(c.FilterKernel);
    const int w = c.WorkBitmap.width(), h = c.WorkBitmap.height();
    std::vector<Tap> taps;
    for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx)
            if (const std::int32_t k = c.FilterKernel[(dy + 2) * 5 + (dx + 2)]; k != 0)
                taps.push_back({k, dy, static_cast<std::ptrdiff_t>(dx) * 3});
    const long long work = static_cast<long long>(w) * h * static_cast<long long>(taps.size());
    ForEachRowBand(h, work, [&](int first, int last) {
        std::vector<std::int32_t> sums;
        for (int y = first; y < last; ++y) {
            const bool interiorRow = y >= r && y < h - r && w > 2 * r;
            if (!interiorRow) {
                for (int x = 0; x < w; ++x)
                    convolvePixel(c, r, x, y);
                continue;
            }
            convolveInterior(c, taps, r, y, sums);
            for (int x = 0; x < r; ++x) {
                convolvePixel(c, r, x, y);
                convolvePixel(c, r, w - 1 - x, y);
            }
        }
    });
}

void CopyWorkBitmapInto(const ImagingContext& c, Picture& picture) {
    picture.copyFrom(c.WorkBitmap);
}

void SharpenPicture(ImagingContext& c, Picture& picture) {
    PrepareWorkBitmaps(c, picture);
    SelectFilterKernel(c, SharpenKernel);
    ConvolvePicture(c);
    CopyWorkBitmapInto(c, picture);
}

void SharpenPicture(Picture& picture) {
    ImagingContext context;
    SharpenPicture(context, picture);
}
