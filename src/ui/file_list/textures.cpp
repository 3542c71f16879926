// Texture tiles are built from sums of sines whose periods divide the tile
// size, plus value noise on a lattice that wraps at the tile border, so the
// tiles repeat without a seam. The noise comes from a fixed integer hash, so
// every run draws the same pixels.

#include "ui/file_list/textures.h"

#include "imaging/picture_files.h"
#include "imaging/qimage_convert.h"

#include "settings/app_settings.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace {

std::uint32_t Hash(std::uint32_t x, std::uint32_t y, std::uint32_t seed) {
    std::uint32_t h = x * 0x8da6b343u ^ y * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return h;
}

// Smooth noise in 0..1 on a lattice of `cell` pixels that wraps at w x h.
double WrappedNoise(int x, int y, int w, int h, int cell, std::uint32_t seed) {
    const int cellsX = std::max(1, w / cell);
    const int cellsY = std::max(1, h / cell);
    const double fx = double(x) * cellsX / w;
    const double fy = double(y) * cellsY / h;
    const int x0 = int(fx), y0 = int(fy);
    const double tx = fx - x0, ty = fy - y0;
    auto corner = [&](int cx, int cy) {
        return (Hash(std::uint32_t(cx % cellsX), std::uint32_t(cy % cellsY), seed) & 0xffff) /
               65535.0;
    };
    const double sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
    const double top = corner(x0, y0) + (corner(x0 + 1, y0) - corner(x0, y0)) * sx;
    const double bottom = corner(x0, y0 + 1) + (corner(x0 + 1, y0 + 1) - corner(x0, y0 + 1)) * sx;
    return top + (bottom - top) * sy;
}

double Fractal(int x, int y, int w, int h, std::uint32_t seed) {
    return 0.5 * WrappedNoise(x, y, w, h, 16, seed) + 0.3 * WrappedNoise(x, y, w, h, 8, seed + 1) +
           0.2 * WrappedNoise(x, y, w, h, 4, seed + 2);
}

int Clamp(double v) {
    return std::clamp(int(v), 0, 255);
}

QColor Mix(const QColor& a, const QColor& b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return QColor(Clamp(a.red() + (b.red() - a.red()) * t),
                  Clamp(a.green() + (b.green() - a.green()) * t),
                  Clamp(a.blue() + (b.blue() - a.blue()) * t));
}

template <class Shade> QImage Tile(int w, int h, Shade shade) {
    QImage image(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixelColor(x, y, shade(x, y));
    return image;
}

QImage LightGreyStructure() {
    QImage tile = Tile(128, 128, [](int x, int y) {
        const int v = Clamp(200 + 40 * Fractal(x, y, 128, 128, 11));
        return QColor(v, v, v - 3);
    });
    // The original tile has 256 colours.
    return tile.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither)
        .convertToFormat(QImage::Format_RGB888);
}

QImage YellowBlossom() {
    constexpr double k = 2 * std::numbers::pi / 100;
    return Tile(100, 100, [&](int x, int y) {
        // Four-petal blossoms on a 50-pixel lattice over a soft cream ground.
        const double petals = std::cos(2 * k * x) * std::cos(2 * k * y);
        const double ground = Fractal(x, y, 100, 100, 23);
        QColor c = Mix(QColor(255, 250, 225), QColor(250, 236, 170), ground);
        if (petals > 0.55)
            c = Mix(c, QColor(250, 215, 60), (petals - 0.55) * 3);
        if (petals > 0.93)
            c = Mix(c, QColor(220, 150, 40), (petals - 0.93) * 12);
        return c;
    });
}

QImage RedOrnament() {
    constexpr double k = 2 * std::numbers::pi / 144;
    return Tile(144, 144, [&](int x, int y) {
        const double a = std::sin(2 * k * x) + std::sin(2 * k * y);
        const double b = std::cos(4 * k * (x + y)) * std::cos(4 * k * (x - y));
        const double t = 0.5 + 0.25 * a * b + 0.15 * Fractal(x, y, 144, 144, 37);
        return Mix(QColor(255, 232, 228), QColor(214, 120, 110), t);
    });
}

QImage LightBlueStructure() {
    return Tile(100, 100, [](int x, int y) {
        const double t = Fractal(x, y, 100, 100, 41);
        return Mix(QColor(232, 242, 252), QColor(180, 206, 236), t);
    });
}

QImage BlueStructure() {
    return Tile(130, 129, [](int x, int y) {
        const double t = Fractal(x, y, 130, 129, 53);
        return Mix(QColor(196, 214, 240), QColor(120, 150, 210), t);
    });
}

} // namespace

QImage BuiltInTexture(int n) {
    switch (n) {
    case 1:
        return LightGreyStructure();
    case 2:
        return YellowBlossom();
    case 3:
        return RedOrnament();
    case 4:
        return LightBlueStructure();
    case 5:
        return BlueStructure();
    default:
        return {};
    }
}

QImage LoadTextureFile(const QString& path) {
    if (PictureKind(path) == PictureFileKind::None)
        return {};
    try {
        return ToQImage(LoadPictureFile(path));
    } catch (const std::exception&) {
        // A file that cannot be decoded gives no texture; the start goes on.
        return {};
    }
}

QColor ColourFromStoredValue(std::int32_t value) {
    const auto v = std::uint32_t(value);
    return QColor(int(v & 0xff), int((v >> 8) & 0xff), int((v >> 16) & 0xff));
}

TextureChoice TexturePictureAtStart(AppSettings& settings) {
    TextureChoice choice;
    const int n = settings.SLVTextur01;
    if (n >= 1 && n <= 5) {
        choice.picture = BuiltInTexture(n);
    } else if (n == 6 && !settings.SLVTexturPfad01.isEmpty()) {
        if (QFileInfo::exists(settings.SLVTexturPfad01)) {
            choice.picture = LoadTextureFile(settings.SLVTexturPfad01);
            choice.textColour = ColourFromStoredValue(settings.SLVFontColor01);
        } else {
            settings.SLVTextur01 = 0;
            settings.SLVBackground01 = false;
        }
    }
    return choice;
}
