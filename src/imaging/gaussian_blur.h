#pragma once
// Gaussian blur as two one-dimensional passes: every row, then every column.
// The kernel's weights are single precision, the sums double precision, an edge
// pixel repeats beyond the border. ClampToByte lets a sum that misses a whole
// number by rounding noise keep that number (the single-precision weights of
// radius 2.0 sum to 0.99999998, so white would come out as 254.999995), and so
// flat areas stay exactly as they are.

#include "imaging/picture.h"

#include <QImage>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

struct BlurKernel {
    int size = 0;                     // weights -size..size are used, 1..100
    std::array<float, 201> weights{}; // index j + 100 for j = -100..100

    float weight(int j) const { return weights[static_cast<std::size_t>(j + 100)]; }
};

// Throws KelvastoError for a radius that is not a positive finite number.
BlurKernel BuildBlurKernel(double radius);

// Clamps a position into 0..n-1.
inline int ClampIndex(int position, int n) {
    return position < 0 ? 0 : (position >= n ? n - 1 : position);
}

// How far below a whole number a sum may fall by rounding noise and still count
// as that number.
constexpr double kBlurRoundingSlack = 1e-4;

// acc of 255 - slack or more gives 255, below 0 gives 0, otherwise
// trunc(acc + slack). Written without branches so that loops over it vectorise.
inline std::uint8_t ClampToByte(double acc) {
    const double lifted = std::max(acc, 0.0) + kBlurRoundingSlack;
    return static_cast<std::uint8_t>(
        static_cast<int>(acc >= 255.0 - kBlurRoundingSlack ? 255.0 : lifted));
}

// Blurs a line of n BGR pixels in place; every sum reads the unchanged line,
// the results go through `scratch` (resized as needed).
void BlurLine(const BlurKernel& kernel, std::uint8_t* line, int n,
              std::vector<std::uint8_t>& scratch);

void GBlur(Picture& picture, double radius);

// For pictures held as QImage: only the 24-bit BGR format is a bitmap GBlur
// works on; any other (and a null image) raises "GBlur only works for 24-bit
// bitmaps" and changes nothing.
void GBlur(QImage& image, double radius);

namespace plain {
// The definition: BlurLine over every row, then over a copy of every column.
// GBlur gives the same bytes with vectorisable passes on several threads.
void GBlur(Picture& picture, double radius);
} // namespace plain
