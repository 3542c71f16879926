// The JPEG decoder at full size and accuracy, as the editor opens a file.

#include "fuzz_input.h"

#include "base/errors.h"
#include "imaging/jpeg_codec.h"

// A few megapixels at most: the fuzzer's time goes to the parser's paths, not
// to decoding giant flat pictures (the limits have their own tests).
constexpr std::uint64_t kFuzzMemoryLimit = std::uint64_t{16} << 20;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    JpegDecodeOptions options;
    options.memoryLimit = kFuzzMemoryLimit;
    try {
        const Picture picture = DecodeJpeg(bytes, options);
        if (picture.isEmpty())
            __builtin_trap(); // success must mean a picture
    } catch (const KelvastoError&) {
    }
    return 0;
}
