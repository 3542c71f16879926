#pragma once
// Edge-preserving smoothing. The picture is blurred with radius 3.0; where the
// blurred edge map (EdgeKernel, then a blur of radius 2.0) has a red channel
// above 0 each channel becomes (3 * original + blurred) / 4, elsewhere
// (7 * blurred + original) / 8. Only the edge map's red channel decides.

#include "imaging/imaging_context.h"

void OptimisePicture(ImagingContext& context, Picture& picture);
void OptimisePicture(Picture& picture);
