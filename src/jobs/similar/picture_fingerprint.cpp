#include "jobs/similar/picture_fingerprint.h"

#include "base/errors.h"
#include "imaging/jpeg_codec.h"
#include "imaging/picture.h"
#include "imaging/resample.h"
#include "imaging/scale_to_fit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace {

constexpr int kSide = 32;         // the grey picture the transform sees
constexpr int kFrequencies = 8;   // the lowest frequencies kept per direction
constexpr int kCentreMargin = 20; // 1/20 = 5 % of each side left out for the centre code

using GreySquare = std::array<double, kSide * kSide>;
using Coefficients = std::array<double, kFrequencies * kFrequencies>;

// Luma weights of the JPEG colour transform, so that a colour picture and its
// grey copy (which stores the same luma) give the same values.
GreySquare greyValues(const Picture& square) {
    GreySquare grey{};
    for (int y = 0; y < kSide; ++y) {
        const std::uint8_t* p = square.row(y);
        for (int x = 0; x < kSide; ++x, p += 3)
            grey[std::size_t(y * kSide + x)] = 0.114 * p[0] + 0.587 * p[1] + 0.299 * p[2];
    }
    return grey;
}

// The DCT-II basis for the kept frequencies: basis[k][n].
const std::array<std::array<double, kSide>, kFrequencies>& cosineBasis() {
    static const auto basis = [] {
        std::array<std::array<double, kSide>, kFrequencies> b{};
        for (int k = 0; k < kFrequencies; ++k)
            for (int n = 0; n < kSide; ++n)
                b[std::size_t(k)][std::size_t(n)] =
                    std::cos(std::numbers::pi * (2 * n + 1) * k / (2.0 * kSide));
        return b;
    }();
    return basis;
}

// The lowest frequencies of the two-dimensional transform: rows first, then
// columns, keeping only what is needed.
Coefficients lowFrequencies(const GreySquare& grey) {
    const auto& basis = cosineBasis();
    std::array<double, kFrequencies * kSide> rows{}; // [u][y]
    for (int y = 0; y < kSide; ++y)
        for (int u = 0; u < kFrequencies; ++u) {
            double sum = 0;
            for (int x = 0; x < kSide; ++x)
                sum += grey[std::size_t(y * kSide + x)] * basis[std::size_t(u)][std::size_t(x)];
            rows[std::size_t(u * kSide + y)] = sum;
        }
    Coefficients out{};
    for (int v = 0; v < kFrequencies; ++v)
        for (int u = 0; u < kFrequencies; ++u) {
            double sum = 0;
            for (int y = 0; y < kSide; ++y)
                sum += rows[std::size_t(u * kSide + y)] * basis[std::size_t(v)][std::size_t(y)];
            out[std::size_t(v * kFrequencies + u)] = sum;
        }
    return out;
}

// The picture without kCentreMargin of each side.
Picture centreOf(const Picture& picture) {
    const int left = picture.width() / kCentreMargin, top = picture.height() / kCentreMargin;
    Picture centre(picture.width() - 2 * left, picture.height() - 2 * top);
    for (int y = 0; y < centre.height(); ++y)
        std::copy_n(picture.pixel(left, top + y), std::size_t(centre.width()) * 3, centre.row(y));
    return centre;
}

Picture squareOf(const Picture& picture) {
    if (picture.width() == kSide && picture.height() == kSide)
        return picture;
    return ResamplePicture(picture, kSide, kSide);
}

std::uint64_t bitsOf(const Picture& square, bool wide) {
    const Coefficients c = lowFrequencies(greyValues(square));
    // The mean (index 0) says only how bright the picture is.
    std::array<double, kFrequencies * kFrequencies - 1> ac{};
    std::copy(c.begin() + 1, c.end(), ac.begin());
    std::array<double, ac.size()> sorted = ac;
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    const double median = sorted[sorted.size() / 2];
    std::uint64_t bits = wide ? 1 : 0;
    for (std::size_t i = 0; i < ac.size(); ++i)
        if (ac[i] > median)
            bits |= std::uint64_t{1} << (i + 1);
    return bits;
}

// `decoded` is large enough for both codes: at least kSide pixels in the
// centre. `width` and `height` are the picture's own.
PictureFingerprint fingerprintOf(const Picture& decoded, int width, int height) {
    const bool wide = width > height;
    return {bitsOf(squareOf(decoded), wide), bitsOf(squareOf(centreOf(decoded)), wide), width,
            height};
}

} // namespace

PictureFingerprint FingerprintPicture(const Picture& picture) {
    if (picture.isEmpty())
        throw KelvastoError("cannot fingerprint an empty picture");
    return fingerprintOf(picture, picture.width(), picture.height());
}

PictureFingerprint FingerprintJpeg(const QByteArray& data) {
    const JpegSize size = ReadJpegSize(data);
    // The centre must still hold kSide pixels each way.
    const int least = kSide * kCentreMargin / (kCentreMargin - 2) + 1;
    return fingerprintOf(DecodeJpegAtLeast(data, FitSize{least, least}), size.width, size.height);
}
