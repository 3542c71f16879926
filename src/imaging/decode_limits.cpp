#include "imaging/decode_limits.h"

#include "base/errors.h"

#include <QFile>

#include <unistd.h>

#include <algorithm>
#include <string>

namespace {

constexpr std::uint64_t kMaxDecodeBytes = std::uint64_t{4} << 30;

std::uint64_t pagesToBytes(long pages) {
    const long pageSize = sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0 ? std::uint64_t(pages) * std::uint64_t(pageSize) : 0;
}

// MemAvailable counts the page cache the kernel would give up; the free pages
// alone would refuse ordinary photographs on a machine that has read a lot.
std::uint64_t availableMemoryBytes() {
    QFile info(QStringLiteral("/proc/meminfo"));
    if (info.open(QIODevice::ReadOnly)) {
        for (QByteArray line = info.readLine(); !line.isEmpty(); line = info.readLine()) {
            if (!line.startsWith("MemAvailable:"))
                continue;
            bool ok = false;
            const qulonglong kib = line.mid(13).trimmed().split(' ').value(0).toULongLong(&ok);
            if (ok)
                return std::uint64_t(kib) * 1024;
        }
    }
    const std::uint64_t free = pagesToBytes(sysconf(_SC_AVPHYS_PAGES));
    return free > 0 ? free : pagesToBytes(sysconf(_SC_PHYS_PAGES));
}

} // namespace

std::uint64_t DecoderMemoryLimit() {
    const std::uint64_t available = availableMemoryBytes();
    // Unknown: assume a small machine rather than none at all.
    if (available == 0)
        return std::uint64_t{512} << 20;
    return std::min(available / 2, kMaxDecodeBytes);
}

void CheckDecodeMemory(std::uint64_t bytes, std::uint64_t limit, const char* what) {
    if (limit == 0)
        limit = DecoderMemoryLimit();
    if (bytes > limit)
        throw KelvastoError(std::string(what) + " needs " + std::to_string(bytes >> 20) +
                                " MiB to decode, more than the " + std::to_string(limit >> 20) +
                                " MiB this machine can spare",
                            Failure::PictureTooLarge);
}
