#pragma once
// A progressive JPEG file keeps the average colour of each 8 x 8 block (its DC
// coefficient) in scans of its own, apart from the detail (AC) scans that
// make up most of the file. Decoded at 1/8 scale, a block becomes one pixel
// and only its average counts, so the detail scans need not be decoded at
// all: without them the file decodes several times faster. Chroma that the
// library draws at 2 x 2 pixels per block is then smooth within the block.
//
// The scans are found by their markers alone (0xFF followed by a byte other
// than 0x00 and the restart markers ends a scan's data), so skipping a scan
// costs a byte search, not its decoding.

#include <QByteArray>

// The file with every scan whose spectral selection starts above 0 left out,
// markers and tables kept. Empty when the data is not a progressive JPEG this
// reading understands, so that the caller decodes the file as it is.
QByteArray WithoutDetailScans(const QByteArray& data);
