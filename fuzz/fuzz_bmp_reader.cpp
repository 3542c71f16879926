// The bitmap reader.

#include "fuzz_input.h"

#include "base/errors.h"
#include "imaging/bmp_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const Picture picture = DecodeBmp(bytes);
        if (picture.isEmpty())
            __builtin_trap();
    } catch (const KelvastoError&) {
    }
    return 0;
}
