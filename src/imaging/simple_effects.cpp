#include "imaging/simple_effects.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

void InvertPicture(Picture& picture) {
    const int w = picture.width();
    if (w < 3)
        return;
    const std::size_t first = 3, last = static_cast<std::size_t>(w - 1) * 3;
    for (int y = 0; y < picture.height(); ++y) {
        std::uint8_t* row = picture.row(y);
        for (std::size_t i = first; i < last; ++i)
            row[i] = static_cast<std::uint8_t>(255 - row[i]);
    }
}

void GreyPicture(Picture& picture) {
    const int w = picture.width();
    for (int y = 0; y < picture.height(); ++y) {
        std::uint8_t* p = picture.row(y);
        for (int x = 1; x < w - 1; ++x) {
            std::uint8_t* px = p + static_cast<std::size_t>(x) * 3;
            const auto v = static_cast<std::uint8_t>((px[0] + px[1] + px[2]) / 3);
            px[0] = px[1] = px[2] = v;
        }
    }
}

void MirrorTopBottom(Picture& picture) {
    const std::size_t used = static_cast<std::size_t>(picture.width()) * 3;
    std::vector<std::uint8_t> scratch(used);
    for (int top = 0, bottom = picture.height() - 1; top < bottom; ++top, --bottom) {
        std::memcpy(scratch.data(), picture.row(top), used);
        std::memcpy(picture.row(top), picture.row(bottom), used);
        std::memcpy(picture.row(bottom), scratch.data(), used);
    }
}

void MirrorLeftRight(Picture& picture) {
    const int w = picture.width();
    for (int y = 0; y < picture.height(); ++y) {
        std::uint8_t* row = picture.row(y);
        for (int left = 0, right = w - 1; left < right; ++left, --right)
            std::swap_ranges(row + left * 3, row + left * 3 + 3, row + right * 3);
    }
}

namespace {

PictureRect clipped(const Picture& picture, const PictureRect& area) {
    return {std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, picture.width()),
            std::min(area.bottom, picture.height())};
}

std::uint8_t pulledToward(int c, int n, int percent) {
    const double v = c + (n - c) * 50.0 / (percent + 50);
    // nearbyint rounds halves to even under the default rounding mode.
    return static_cast<std::uint8_t>(std::clamp(std::nearbyint(v), 0.0, 255.0));
}

// Runs the anti-alias walk; `pull(c, n)` gives a neighbour channel's new value.
template <typename Pull> void antiAliasWalk(Picture& picture, const PictureRect& area, Pull pull) {
    const PictureRect r = clipped(picture, area);
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            std::uint8_t c[3];
            std::memcpy(c, picture.pixel(x, y), 3);
            const int nx[4] = {x - 1, x + 1, x, x};
            const int ny[4] = {y, y, y - 1, y + 1};
            for (int i = 0; i < 4; ++i) {
                if (nx[i] < r.left || nx[i] >= r.right || ny[i] < r.top || ny[i] >= r.bottom)
                    continue;
                std::uint8_t* n = picture.pixel(nx[i], ny[i]);
                if (n[0] == c[0] && n[1] == c[1] && n[2] == c[2])
                    continue;
                for (int ch = 0; ch < 3; ++ch)
                    n[ch] = pull(c[ch], n[ch]);
            }
        }
    }
}

} // namespace

void plain::AntiAliasPicture(Picture& picture, const PictureRect& area, int percent) {
    if (percent == -50)
        return; // the pull would divide by zero; no caller asks for it
    antiAliasWalk(picture, area, [percent](int c, int n) { return pulledToward(c, n, percent); });
}

void AntiAliasPicture(Picture& picture, const PictureRect& area, int percent) {
    if (percent == -50)
        return;
    std::vector<std::uint8_t> table(256 * 256);
    for (int c = 0; c < 256; ++c)
        for (int n = 0; n < 256; ++n)
            table[c * 256 + n] = pulledToward(c, n, percent);
    const std::uint8_t* t = table.data();
    antiAliasWalk(picture, area, [t](int c, int n) { return t[c * 256 + n]; });
}
