#pragma once
// Generated photographs for the similar-picture search: a scene of coloured
// shapes on a graded sky, and the copies people make of a photograph (half
// size, saved at low quality, cropped and scaled back, brightened, grey),
// written as JPEG files.

#include "imaging/picture.h"

#include <QByteArray>
#include <QString>

namespace testing {

// Shapes, colours and sky differ with `seed`; a little noise like a sensor's.
Picture scene(int width, int height, unsigned seed);

enum class Variant { Original, Half, Quality40, Crop5, Brighter12, Grey };

// The picture as that copy of it.
Picture variantOf(const Picture& picture, Variant variant);

// The JPEG bytes of `picture` at `quality`; progressive on request.
QByteArray jpegAt(const Picture& picture, int quality, bool progressive = false);

// A variant as the file a user would have: Quality40 saved at 40, the
// others at 90.
QByteArray variantFile(const Picture& original, Variant variant);

// Writes `bytes` to `path`; false when it cannot.
bool writeBytes(const QString& path, const QByteArray& bytes);

} // namespace testing
