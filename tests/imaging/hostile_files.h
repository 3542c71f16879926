#pragma once
// Small files that ask a decoder for far more memory or time than their size
// can justify: a giant declared picture with next to no data, endless empty
// scans, run-length data that claims a huge canvas. Each is made byte by
// byte, so every test shows what the file declares.

#include <QByteArray>

namespace hostile {

// Progressive colour JPEG (three components, no subsampling) with a DC scan
// of a few bytes and no more.
QByteArray progressiveWithoutData(int width, int height);

// Progressive greyscale JPEG: a DC scan, then `scans` AC scans without data.
QByteArray progressiveEmptyScans(int width, int height, int scans);

// Baseline colour JPEG: tables, frame and scan header, no entropy-coded data.
QByteArray baselineWithoutData(int width, int height);

// Uncompressed 24-bit bitmap whose pixel data is `dataBytes` bytes long.
QByteArray bitmapWithData(int width, int height, int dataBytes);

// 8-bit run-length bitmap with `runs` runs of 255 pixels of palette index 1.
QByteArray runLengthBitmap(int width, int height, int runs);

} // namespace hostile
