// The JPEG decoder at full size and accuracy, as the editor opens a file.

#include "fuzz_input.h"

#include "app/errors.h"
#include "imaging/jpeg_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const Picture picture = DecodeJpeg(bytes);
        if (picture.isEmpty())
            __builtin_trap(); // success must mean a picture
    } catch (const KelvastoError&) {
    }
    return 0;
}
