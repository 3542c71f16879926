// The reduction's marker walk and cuts on untrusted bytes, checked against the
// plain definition (the whole file in memory, the walk from the start after
// every cut): a different result is a finding just like a crash. The first
// input byte picks the removals.

#include "fuzz_input.h"

#include "jobs/reduction/jpeg_cut_view.h"
#include "jobs/reduction/jpeg_reduction.h"
#include "jobs/reduction/jpeg_structure_facts.h"
#include "jobs/reduction/reduction_reference.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    ReductionOptions options;
    options.programSegments = data[0] & 1;
    options.comment = data[0] & 2;
    options.trailingData = data[0] & 4;
    const QByteArray input(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));

    JpegCutView view(input);
    // What the reduction reads before it cuts must hold on any bytes too.
    const QByteArray digest = PictureDataDigest(view);
    if (!StartsLikeJpeg(view) && view.size() >= 3 && !digest.isEmpty() && input[2] != '\xFF')
        __builtin_trap(); // a walk needs a marker behind the start marker
    if (!digest.isEmpty() && digest.size() != 32)
        __builtin_trap();
    std::int64_t saved = 0;
    if (options.programSegments)
        saved += RemoveProgramSegments(view);
    if (options.comment)
        saved += RemoveComment(view);
    if (options.trailingData)
        saved += RemoveTrailingData(view).removed;

    QByteArray plain = input;
    if (reference::reduce(plain, options) != saved || view.bytes() != plain)
        __builtin_trap();
    return 0;
}
