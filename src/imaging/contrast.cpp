#include "imaging/contrast.h"

#include <QImage>

#include <algorithm>
#include <cmath>

namespace {

double Linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double Encoded(double linear) {
    return linear <= 0.0031308 ? linear * 12.92 : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
}

constexpr int kSamplesPerSide = 64;

} // namespace

double RelativeLuminance(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return 0.2126 * Linear(rgb.redF()) + 0.7152 * Linear(rgb.greenF()) +
           0.0722 * Linear(rgb.blueF());
}

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor MeanColour(const QImage& picture) {
    if (picture.isNull() || picture.width() < 1 || picture.height() < 1)
        return {};
    const int stepX = std::max(1, picture.width() / kSamplesPerSide);
    const int stepY = std::max(1, picture.height() / kSamplesPerSide);
    double red = 0, green = 0, blue = 0;
    long samples = 0;
    for (int y = 0; y < picture.height(); y += stepY)
        for (int x = 0; x < picture.width(); x += stepX) {
            const QColor pixel = picture.pixelColor(x, y);
            red += Linear(pixel.redF());
            green += Linear(pixel.greenF());
            blue += Linear(pixel.blueF());
            ++samples;
        }
    return QColor::fromRgbF(float(Encoded(red / samples)), float(Encoded(green / samples)),
                            float(Encoded(blue / samples)));
}

QColor ContrastingTextColour(const QColor& background) {
    const QColor black(Qt::black), white(Qt::white);
    return ContrastRatio(background, black) >= ContrastRatio(background, white) ? black : white;
}
