#pragma once
// The small convolution engine under SharpenPicture and OptimisePicture. A pass
// reads PassSourceBitmap and writes WorkBitmap; a neighbour outside the picture
// counts with the centre pixel's value; sums are signed 32-bit, divided by the
// divisor truncating toward zero and clamped to 0..255.

#include "imaging/imaging_context.h"

// A kernel of the filter table: nine values for the inner 3x3 square (the
// outer ring then stays 0) or all 25 of a 5x5 kernel.
struct FilterTableKernel {
    bool fiveByFive = false;
    std::array<std::int32_t, 25> values{};
    std::int32_t divisor = 1;
};

extern const FilterTableKernel SharpenKernel; // -1 -2 -1 / -2 28 -2 / -1 -2 -1, divisor 16
extern const FilterTableKernel EdgeKernel;    // 4 4 4 / 4 -33 4 / 4 4 4, divisor 1

// WorkBitmap becomes a copy of the picture, PassSourceBitmap and AuxBitmap get
// its size, and the three row tables are filled.
void PrepareWorkBitmaps(ImagingContext& context, const Picture& picture);

void SelectFilterKernel(ImagingContext& context, const FilterTableKernel& kernel);

// One pass of the loaded kernel over WorkBitmap: 3x3 when the outer ring of the
// kernel is all zero, 5x5 otherwise.
void ConvolvePicture(ImagingContext& context);

// Copies WorkBitmap back into the picture.
void CopyWorkBitmapInto(const ImagingContext& context, Picture& picture);

// Sharpens with SharpenKernel; a flat area keeps its value.
void SharpenPicture(ImagingContext& context, Picture& picture);
void SharpenPicture(Picture& picture);

namespace plain {
// The definition of ConvolvePicture, pixel by pixel with the edge rule applied to
// every tap. ConvolvePicture gives the same bytes with separate interior and
// border loops on several threads.
void ConvolvePicture(ImagingContext& context);
} // namespace plain
