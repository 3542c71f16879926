#pragma once
// Scaling a picture to fit a square: the longer side becomes the limit and the
// shorter one keeps the proportion. The ratio (shorter / longer side) is
// computed in floating point first and then multiplied by the limit, and the
// product is truncated, not rounded: 400 x 300 at limit 100 gives 100 x 75,
// 300 x 400 gives 75 x 100. Smaller pictures are enlarged. A side that would
// truncate to 0 (a 1000 x 1 strip at limit 100) is kept at 1 pixel, so a
// picture never scales to nothing.

#include "imaging/picture.h"

#include <QByteArray>
#include <QString>

struct FitSize {
    int width = 0;
    int height = 0;
    bool operator==(const FitSize&) const = default;
};

// The size ScaleToFit gives a width x height picture. A tall or square picture
// takes heightLimit for its height, a wide one widthLimit for its width; the
// callers pass the same value for both.
FitSize ScaledFitSize(int width, int height, int widthLimit, int heightLimit);

// Replaces the picture by itself stretched (area averaging) to ScaledFitSize.
// An empty picture stays empty.
void ScaleToFit(Picture& picture, int widthLimit, int heightLimit);

// Decodes a JPEG file's bytes by DCT scaling (k/8) at the smallest size not
// below `size` in either side, from the DC scans alone where a progressive
// file allows: the fast part of DecodeJpegAtSize, without its last step.
Picture DecodeJpegAtLeast(const QByteArray& data, FitSize size);

// Decodes a JPEG file's bytes directly at `size`: DCT-scaled decoding to the
// smallest size not below it, then area averaging to exactly `size`. Much
// faster than decoding at full size and scaling, for the same result size.
// Throws KelvastoError when the data cannot be decoded.
Picture DecodeJpegAtSize(const QByteArray& data, FitSize size);

// A JPEG file decoded and scaled to fit the limit in one go: the same size as
// LoadJpegFile followed by ScaleToFit. Throws KelvastoError when the file
// cannot be read or decoded.
Picture LoadJpegScaledToFit(const QString& path, int limit);
