#include "imaging/resample.h"

#include "base/errors.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

constexpr int kWeightBits = 14;
constexpr int kWeightOne = 1 << kWeightBits;
// Intermediate values keep 8 fraction bits: 255 << 8 fits 16 bits, and the
// column pass then sums at most 255 << 22 in 32 bits.
constexpr int kMidBits = 8;

// For every target index: the first source index and the weights of the
// source pixels from there on.
struct AxisWeights {
    std::vector<int> first;
    std::vector<int> offset; // into weights; offset[i + 1] - offset[i] taps
    std::vector<std::uint16_t> weights;
};

AxisWeights axisWeights(int sourceSize, int targetSize) {
    AxisWeights axis;
    axis.first.reserve(targetSize);
    axis.offset.reserve(targetSize + 1);
    axis.offset.push_back(0);
    // In units of 1 / targetSize source pixels, target pixel t covers
    // [t * sourceSize, (t + 1) * sourceSize) and source pixel i covers
    // [i * targetSize, (i + 1) * targetSize).
    const long long s = sourceSize, d = targetSize;
    for (long long t = 0; t < d; ++t) {
        const long long lo = t * s, hi = (t + 1) * s;
        const int first = static_cast<int>(lo / d), last = static_cast<int>((hi - 1) / d);
        const std::size_t start = axis.weights.size();
        int sum = 0;
        std::size_t heaviest = start;
        for (int i = first; i <= last; ++i) {
            const long long overlap = std::min(hi, (i + 1) * d) - std::max(lo, i * d);
            const int w = static_cast<int>(overlap * kWeightOne / s);
            axis.weights.push_back(static_cast<std::uint16_t>(w));
            if (w > axis.weights[heaviest])
                heaviest = axis.weights.size() - 1;
            sum += w;
        }
        // The truncated shares lose a little; the heaviest tap takes it back so
        // that the weights sum to exactly one.
        axis.weights[heaviest] =
            static_cast<std::uint16_t>(axis.weights[heaviest] + kWeightOne - sum);
        axis.first.push_back(first);
        axis.offset.push_back(static_cast<int>(axis.weights.size()));
    }
    return axis;
}

} // namespace

Picture ResamplePicture(const Picture& source, int width, int height) {
    if (source.isEmpty())
        throw KelvastoError("cannot resample an empty picture");
    Picture target(width, height); // checks the size
    const AxisWeights across = axisWeights(source.width(), width);
    const AxisWeights down = axisWeights(source.height(), height);

    // Rows: source height x target width, three channels, 8 fraction bits.
    const std::size_t midStride = static_cast<std::size_t>(width) * 3;
    std::vector<std::uint16_t> mid(midStride * static_cast<std::size_t>(source.height()));
    for (int y = 0; y < source.height(); ++y) {
        const std::uint8_t* in = source.row(y);
        std::uint16_t* out = mid.data() + midStride * static_cast<std::size_t>(y);
        for (int x = 0; x < width; ++x) {
            std::uint32_t b = 0, g = 0, r = 0;
            const std::uint8_t* p = in + static_cast<std::size_t>(across.first[x]) * 3;
            for (int k = across.offset[x]; k < across.offset[x + 1]; ++k, p += 3) {
                const std::uint32_t w = across.weights[k];
                b += p[0] * w;
                g += p[1] * w;
                r += p[2] * w;
            }
            constexpr int shift = kWeightBits - kMidBits;
            constexpr std::uint32_t half = 1u << (shift - 1);
            out[x * 3] = static_cast<std::uint16_t>((b + half) >> shift);
            out[x * 3 + 1] = static_cast<std::uint16_t>((g + half) >> shift);
            out[x * 3 + 2] = static_cast<std::uint16_t>((r + half) >> shift);
        }
    }

    // Columns: each target row sums the intermediate rows it covers.
    std::vector<std::uint32_t> sums(midStride);
    constexpr int shift = kWeightBits + kMidBits;
    constexpr std::uint32_t half = 1u << (shift - 1);
    for (int y = 0; y < height; ++y) {
        std::fill(sums.begin(), sums.end(), 0u);
        int sourceRow = down.first[y];
        for (int k = down.offset[y]; k < down.offset[y + 1]; ++k, ++sourceRow) {
            const std::uint32_t w = down.weights[k];
            const std::uint16_t* in = mid.data() + midStride * static_cast<std::size_t>(sourceRow);
            for (std::size_t i = 0; i < midStride; ++i)
                sums[i] += in[i] * w;
        }
        std::uint8_t* out = target.row(y);
        for (std::size_t i = 0; i < midStride; ++i)
            out[i] =
                static_cast<std::uint8_t>(std::min<std::uint32_t>((sums[i] + half) >> shift, 255));
    }
    return target;
}
