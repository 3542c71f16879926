#pragma once
// Picture files for tests that need real JPEG and bitmap files of a size.

#include "imaging/picture.h"

#include <QByteArray>
#include <QString>

namespace testing {

// A photograph-like picture: colour ramps with a little noise.
Picture photoLike(int width, int height, unsigned seed = 1);
// A bottom-up 24-bit bitmap file of the picture.
QByteArray bmpBytes(const Picture& picture);
// The JPEG file SaveAsJpeg writes for the picture.
QByteArray jpegBytes(const Picture& picture);
// Writes `picture` as a JPEG file (SaveAsJpeg) or, for a ".bmp" path, a bitmap.
void writePictureFile(const QString& path, const Picture& picture);

} // namespace testing
