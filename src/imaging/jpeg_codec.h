#pragma once
// The JPEG codec: decoding into and encoding from a Picture with libjpeg. Every
// libjpeg error becomes a KelvastoError; warnings (a truncated file, a damaged
// scan) are ignored, so damaged data gives a partial picture or an error, never
// an exit. A header asking for more pixels than the program allows, more memory
// than the machine can spare, or more work than the file's bytes can justify
// (a giant picture in a few bytes, endless empty scans) is refused before
// anything of that size is allocated.

#include "imaging/picture.h"

#include <QByteArray>

#include <cstdint>
#include <cstdio>
#include <string>

struct JpegDecodeOptions {
    // Fast: integer DCT without fancy upsampling, and DCT scaling (k/8) to the
    // smallest size not below minWidth x minHeight. For previews and thumbnails.
    bool fast = false;
    int minWidth = 0;
    int minHeight = 0;
    // Bytes the decode may hold; 0 takes DecoderMemoryLimit().
    std::uint64_t memoryLimit = 0;
};

struct JpegSize {
    int width = 0;
    int height = 0;
    bool progressive = false;
};

// The picture size a JPEG header declares, without decoding any pixels.
// Throws KelvastoError when the header cannot be read.
JpegSize ReadJpegSize(const QByteArray& data);

// Accurate by default: JDCT_ISLOW, fancy upsampling, full size. Greyscale,
// RGB, YCbCr, CMYK and YCCK (also Adobe's inverted CMYK) give correct colours.
Picture DecodeJpeg(const QByteArray& data, const JpegDecodeOptions& options = {});

// Whether libjpeg walks the whole entropy-coded data without an error or a
// corrupt-data warning ("premature end of data segment", a bad Huffman code,
// bytes before a marker ...). `problem` holds libjpeg's first complaint.
struct JpegDataCheck {
    bool sound = true;
    std::string problem;
};

// Decodes at 1/8 scale into a few rows that are dropped: every coefficient is
// still read, the pixel work almost vanishes. Throws KelvastoError only when
// this machine cannot check the file (pixels beyond the program's limit, too
// little memory); damaged data is a verdict, never an exception.
JpegDataCheck CheckJpegData(const QByteArray& data, std::uint64_t memoryLimit = 0);

// Baseline sequential colour JPEG, everything but the quality at the library's
// defaults, written to an open stream. The caller closes the stream.
void EncodeJpeg(const Picture& picture, int quality, std::FILE* out);
