#pragma once
// Area-averaging resampling: every target pixel is the mean of the source area
// it covers, each source pixel weighted by the share of it that lies inside.
// Shrinking thus never skips a source pixel (no aliasing), and enlarging gives
// each target pixel the source pixel it falls on, blended where it straddles two.
// Weights are 14-bit fixed point summing exactly to one, so a flat picture stays
// exactly flat; the rows are done first, then the columns.

#include "imaging/picture.h"

// The source stretched to width x height (both at least 1).
Picture ResamplePicture(const Picture& source, int width, int height);
