#pragma once
// The effects that need no work bitmaps: invert, black-and-white, the two
// mirrors and anti-aliasing. Each changes the picture in place.

#include "imaging/picture.h"

// 255 minus each channel, for columns 1..W-2 only: the first and the last column
// keep their values, so a picture under three pixels wide is unchanged.
void InvertPicture(Picture& picture);

// (B + G + R) / 3, rounded down, into all three channels; equal weights, and the
// same column range 1..W-2 as InvertPicture.
void GreyPicture(Picture& picture);

// result(x, y) = source(x, H-1-y): upside down.
void MirrorTopBottom(Picture& picture);
// result(x, y) = source(W-1-x, y).
void MirrorLeftRight(Picture& picture);

// Right and bottom exclusive.
struct PictureRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Pixel by pixel, row by row, in place: each pixel's colour c pulls those of its
// four neighbours (left, right, above, below; outside `area` skipped) that differ
// from it to c + (n - c) * 50 / (percent + 50), rounded half to even. Later
// pixels see the changes of earlier ones. `area` is clipped to the picture.
void AntiAliasPicture(Picture& picture, const PictureRect& area, int percent);

namespace plain {
// The definition of AntiAliasPicture, evaluating the formula for every write.
// AntiAliasPicture gives the same bytes through a table of all (c, n) pairs.
void AntiAliasPicture(Picture& picture, const PictureRect& area, int percent);
} // namespace plain
