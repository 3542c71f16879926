#pragma once
// The whole-number options of index pictures and thumbnails: the window's
// spin boxes, kelvasto-batch index/thumbs and their --help read these.

#include "base/number_option.h"

// Sheets: pictures per sheet (C), per row (R), side of a picture (S).
inline constexpr NumberOption kIndexPerSheet{"per-sheet", "C",   "IdxEdit01", "cli.index.per_sheet",
                                             1,           32000, 1,           42};
inline constexpr NumberOption kIndexPerRow{"per-row", "R",   "IdxEdit02", "cli.index.per_row",
                                           1,         32000, 1,           7};
inline constexpr NumberOption kIndexSide{"size", "S", "IdxEdit03", "cli.index.size",
                                         40,     500, 5,           100};
// N of the series rule "first-chars:N".
inline constexpr NumberOption kSeriesFirstChars{
    "first-chars", "N", "IdxAnzahlEdit", nullptr, 1, 255, 1, 5};
// Side of a thumbnail.
inline constexpr NumberOption kThumbnailSide{
    "size", "S", "ThumbGroesse", "cli.thumbs.size", 10, 300, 5, 100};
