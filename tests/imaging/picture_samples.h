#pragma once
// Pictures and encoded files that the imaging tests feed in.

#include "imaging/picture.h"

#include <QByteArray>
#include <QMetaType>

#include <cstdint>
#include <vector>

namespace samples {

// Deterministic pseudo-random pixels; `smooth` makes neighbouring pixels
// similar, as in a photograph, so that blur and edge rules see both cases.
Picture noise(int width, int height, std::uint32_t seed, bool smooth = false);

Picture flat(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b);

// A picture of one row given as R, G, B triples.
Picture fromRgb(int width, int height, const std::vector<int>& rgb);

// Each pixel as R, G, B.
std::vector<int> rgbOf(const Picture& picture);

// Largest channel difference between two pictures of the same size.
int maxDifference(const Picture& a, const Picture& b);
double meanDifference(const Picture& a, const Picture& b);

// Writes the padding bytes of every row with `value`, for checks that no
// routine touches them.
void markPadding(Picture& picture, std::uint8_t value);
bool paddingIs(const Picture& picture, std::uint8_t value);

// SeparateScans: sequential colour, one scan per component. The Adobe forms
// carry Adobe's segment (APP14) with the colour transform of their colour
// space; AdobeRgbNumbered names its components 1, 2, 3 instead of R, G, B.
enum class JpegForm {
    Colour,
    Greyscale,
    Progressive,
    AdobeCmyk,
    PlainCmyk,
    Ycck,
    SeparateScans,
    Arithmetic,
    Restarts,
    AdobeRgb,
    AdobeRgbNumbered,
    AdobeYCbCr,
    AdobeGreyscale,
    ProgressiveCmyk,
};

// Encodes with libjpeg directly (not through the code under test). The picture
// gives the colours; CMYK forms store the matching inks.
QByteArray encodeJpeg(const Picture& picture, JpegForm form, int quality = 95);

// Decodes a colour or greyscale JPEG with libjpeg directly, accurately and at
// full size, with no limits: what the code under test must give.
Picture decodeJpegPlain(const QByteArray& jpeg);

} // namespace samples

Q_DECLARE_METATYPE(Picture)
