// The shortening of progressive JPEG files to their DC scans, and the decoding
// at eighth scale of what it leaves, as thumbnails and index sheets use them.
// The shortened file may only drop bytes: it starts and ends like a JPEG file
// and is never longer than the input plus its end marker.

#include "fuzz_input.h"

#include "base/errors.h"
#include "imaging/jpeg_codec.h"
#include "imaging/jpeg_dc_scans.h"

#include <QByteArray>

constexpr std::uint64_t kFuzzMemoryLimit = std::uint64_t{16} << 20;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const QByteArray averages = WithoutDetailScans(bytes);
    if (averages.isEmpty())
        return 0;
    if (averages.size() > bytes.size() + 2 || !averages.startsWith("\xFF\xD8") ||
        !averages.endsWith("\xFF\xD9"))
        __builtin_trap();
    JpegDecodeOptions options;
    options.fast = true;
    options.minWidth = 1;
    options.minHeight = 1;
    options.memoryLimit = kFuzzMemoryLimit;
    try {
        const Picture picture = DecodeJpeg(averages, options);
        if (picture.isEmpty())
            __builtin_trap();
    } catch (const KelvastoError&) {
    }
    return 0;
}
