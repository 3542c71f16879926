// The data check of the thorough defect scan: libjpeg walks the whole file at
// 1/8 scale and its complaints become a verdict. Damaged data must give a
// verdict, never a crash, a hang or an exception other than the machine's
// limits.

#include "fuzz_input.h"

#include "base/errors.h"
#include "imaging/jpeg_codec.h"

constexpr std::uint64_t kFuzzMemoryLimit = std::uint64_t{16} << 20;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const JpegDataCheck check = CheckJpegData(bytes, kFuzzMemoryLimit);
        if (!check.sound && check.problem.empty())
            __builtin_trap(); // a defect without a reason
    } catch (const KelvastoError&) {
    }
    return 0;
}
