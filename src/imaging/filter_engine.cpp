#include "imaging/filter_engine.h"

#include "imaging/parallel_rows.h"

#include <algorithm>
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

// Starts a pass: the divisor rule and the copy of WorkBitmap into PassSourceBitmap.
void beginPass(ImagingContext& c) {
    if (c.KernelDivisor == 0)
        c.KernelDivisor = 1;
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

// Pixels whose whole window lies inside the picture, columns r..W-1-r of one
// row, taps without the zero weights.
void convolveInterior(const ImagingContext& c, const std::vector<Tap>& taps, int r, int y) {
    const int w = c.WorkBitmap.width();
    const std::int32_t divisor = c.KernelDivisor;
    const std::uint8_t* rows[5];
    for (int dy = -r; dy <= r; ++dy)
        rows[dy + 2] = c.PassSourceRows[y + dy];
    std::uint8_t* out = c.WorkRows[y];
    const std::ptrdiff_t first = static_cast<std::ptrdiff_t>(r) * 3;
    const std::ptrdiff_t last = static_cast<std::ptrdiff_t>(w - r) * 3;
    for (std::ptrdiff_t i = first; i < last; ++i) {
        std::int32_t sum = 0;
        for (const Tap& t : taps)
            sum += t.weight * rows[t.dy + 2][i + t.dx];
        out[i] = clampToByte(sum / divisor);
    }
}

} // namespace

const FilterTableKernel SharpenKernel = threeByThree({-1, -2, -1, -2, 28, -2, -1, -2, -1}, 16);
const FilterTableKernel EdgeKernel = threeByThree({4, 4, 4, 4, -33, 4, 4, 4, 4}, 1);

void PrepareWorkBitmaps(ImagingContext& c, const Picture& picture) {
    c.WorkBitmap.copyFrom(picture);
    c.PassSourceBitmap.resize(picture.width(), picture.height());
    c.AuxBitmap.resize(picture.width(), picture.height());
    fillRowTable(c.WorkRows, c.WorkBitmap);
    fillRowTable(c.PassSourceRows, c.PassSourceBitmap);
    fillRowTable(c.AuxRows, c.AuxBitmap);
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
        for (int y = first; y < last; ++y) {
            const bool interiorRow = y >= r && y < h - r && w > 2 * r;
            if (!interiorRow) {
                for (int x = 0; x < w; ++x)
                    convolvePixel(c, r, x, y);
                continue;
            }
            convolveInterior(c, taps, r, y);
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
