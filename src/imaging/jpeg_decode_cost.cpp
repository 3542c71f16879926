#include "imaging/jpeg_decode_cost.h"

#include "imaging/picture.h"

namespace {

// Enough for a picture of a few megapixels even when its data is missing (a
// cut-off file still shows its top), and for the header-only files of tests.
constexpr std::uint64_t kFreeWork = std::uint64_t{1} << 18;
// A complete Huffman-coded file spends at least one bit per block and scan:
// even a flat progressive picture with optimised tables asks for under 60
// blocks per byte.
constexpr std::uint64_t kWorkPerByte = 64;
constexpr std::uint64_t kArithmeticFactor = 16;
constexpr std::uint64_t kBlockBytes = sizeof(JBLOCK);

std::uint64_t roundUp(std::uint64_t value, std::uint64_t step) {
    return step == 0 ? value : (value + step - 1) / step * step;
}

// The blocks libjpeg keeps for a component: its size padded to whole MCUs.
std::uint64_t paddedBlocks(const jpeg_component_info& c) {
    return roundUp(c.width_in_blocks, std::uint64_t(c.h_samp_factor)) *
           roundUp(c.height_in_blocks, std::uint64_t(c.v_samp_factor));
}

bool hasMultipleScans(const jpeg_decompress_struct& cinfo) {
    return cinfo.progressive_mode || cinfo.comps_in_scan < cinfo.num_components;
}

} // namespace

JpegDecodeCost JpegCostOf(const jpeg_decompress_struct& cinfo) {
    JpegDecodeCost cost;
    cost.pictureBytes =
        std::uint64_t(PictureStride(static_cast<int>(cinfo.output_width))) * cinfo.output_height;
    for (int ci = 0; ci < cinfo.num_components; ++ci)
        cost.outputWork += paddedBlocks(cinfo.comp_info[ci]);
    if (hasMultipleScans(cinfo))
        cost.coefficientBytes = cost.outputWork * kBlockBytes;
    cost.minimumWork = cost.outputWork + JpegScanWork(cinfo);
    return cost;
}

std::uint64_t JpegScanWork(const jpeg_decompress_struct& cinfo) {
    std::uint64_t blocks = 0;
    for (int i = 0; i < cinfo.comps_in_scan; ++i)
        blocks += paddedBlocks(*cinfo.cur_comp_info[i]);
    return blocks;
}

std::uint64_t JpegWorkBudget(std::uint64_t inputBytes, bool arithmeticCoding) {
    return kFreeWork + inputBytes * kWorkPerByte * (arithmeticCoding ? kArithmeticFactor : 1);
}
