#pragma once
// What decoding a JPEG will cost, read from its header before anything large
// is allocated. Work is counted in 8 x 8 blocks: each scan visits the blocks
// of its components (an empty scan costs as much as a full one), and the
// output visits every block once more. A file may ask for a fixed amount of
// work plus an amount per byte it holds; a complete file of any real picture
// stays far below that, while a few bytes declaring a giant picture, or a
// thousand empty scans, are refused.

#include <cstdint>
#include <cstdio> // jpeglib.h needs FILE

#include <jpeglib.h>

// Progressive files have a dozen scans or so; this is far beyond any encoder.
constexpr int kMaxJpegScans = 256;

struct JpegDecodeCost {
    std::uint64_t pictureBytes = 0;     // the decoded 24-bit picture
    std::uint64_t coefficientBytes = 0; // libjpeg's whole-picture buffer of multi-scan files
    std::uint64_t outputWork = 0;       // every block of every component, once
    std::uint64_t minimumWork = 0;      // the output and the first scan
};

// After jpeg_read_header and jpeg_calc_output_dimensions.
JpegDecodeCost JpegCostOf(const jpeg_decompress_struct& cinfo);

// The blocks the scan that libjpeg is reading now visits.
std::uint64_t JpegScanWork(const jpeg_decompress_struct& cinfo);

// The work a file of `inputBytes` may ask for. Arithmetic coding packs flat
// areas into far fewer bits than Huffman coding, so it is allowed more.
std::uint64_t JpegWorkBudget(std::uint64_t inputBytes, bool arithmeticCoding);
