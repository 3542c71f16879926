#include "imaging/optimise.h"

#include "imaging/filter_engine.h"
#include "imaging/gaussian_blur.h"
#include "imaging/parallel_rows.h"

namespace {

// O = PassSourceBitmap (unblurred), B = WorkBitmap (blurred), E = AuxBitmap
// (blurred edge map); the result goes into WorkBitmap.
void blendByEdges(ImagingContext& c) {
    const int w = c.WorkBitmap.width(), h = c.WorkBitmap.height();
    ForEachRowBand(h, static_cast<long long>(w) * h, [&](int first, int last) {
        for (int y = first; y < last; ++y) {
            const std::uint8_t* o = c.PassSourceRows[y];
            const std::uint8_t* e = c.AuxRows[y];
            std::uint8_t* b = c.WorkRows[y];
            for (int x = 0; x < w; ++x) {
                const bool edge = e[x * 3 + 2] > 0;
                for (int ch = x * 3; ch < x * 3 + 3; ++ch)
                    b[ch] = static_cast<std::uint8_t>(edge ? (3 * o[ch] + b[ch]) / 4
                                                           : (7 * b[ch] + o[ch]) / 8);
            }
        }
    });
}

} // namespace

void OptimisePicture(ImagingContext& c, Picture& picture) {
    PrepareWorkBitmaps(c, picture);
    c.AuxBitmap.copyFrom(c.WorkBitmap);
    SelectFilterKernel(c, EdgeKernel);
    ConvolvePicture(c);
    GBlur(c.WorkBitmap, 2.0);
    c.PassSourceBitmap.copyFrom(c.AuxBitmap);
    c.AuxBitmap.copyFrom(c.WorkBitmap);
    c.WorkBitmap.copyFrom(c.PassSourceBitmap);
    GBlur(c.WorkBitmap, 3.0);
    blendByEdges(c);
    CopyWorkBitmapInto(c, picture);
}

void OptimisePicture(Picture& picture) {
    ImagingContext context;
    OptimisePicture(context, picture);
}
