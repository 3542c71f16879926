#pragma once
// The state of the filter engine: the work bitmaps, their row tables and the
// loaded kernel. The main window owns one context for the whole run; a batch job
// may use its own. Every engine-based effect overwrites the work bitmaps from the
// picture it is given, so nothing carries over from one effect to the next.

#include "imaging/picture.h"

#include <array>
#include <cstdint>
#include <vector>

// Row references of one work bitmap, one per row. Unlike a fixed table it grows
// with the picture, so a tall picture never writes past its end.
using RowTable = std::vector<std::uint8_t*>;

// A 5x5 kernel stored row by row: index (dy + 2) * 5 + (dx + 2), centre 12.
using KernelValues = std::array<std::int32_t, 25>;

struct ImagingContext {
    Picture WorkBitmap;       // receives each pass's result
    Picture PassSourceBitmap; // the unchanged source of a pass
    Picture AuxBitmap;        // OptimisePicture's copy and edge map
    Picture UndoBitmap;       // the editor's one-step undo; the engine leaves it alone

    RowTable WorkRows;
    RowTable PassSourceRows;
    RowTable AuxRows;

    KernelValues FilterKernel{};
    std::int32_t KernelDivisor = 1;
};
