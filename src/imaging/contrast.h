#pragma once
// Readability of text over a background, by the contrast ratio of the Web
// Content Accessibility Guidelines: (L1 + 0.05) / (L2 + 0.05) of the relative
// luminances of the lighter and the darker colour, from 1 (none) to 21
// (black on white). Body text wants 4.5 at least.

#include <QColor>

class QImage;

inline constexpr double kReadableContrast = 4.5;

// Relative luminance 0 (black) .. 1 (white) of an sRGB colour.
double RelativeLuminance(const QColor& colour);

double ContrastRatio(const QColor& a, const QColor& b);

// The colour a picture averages to, each channel in linear light; a null
// picture gives an invalid colour. A tile of thousands of pixels is read on
// a grid of at most 64 x 64 samples.
QColor MeanColour(const QImage& picture);

// Black or white, whichever stands out more against `background`.
QColor ContrastingTextColour(const QColor& background);
