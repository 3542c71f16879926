#include "jobs/duplicates/file_fingerprint.h"

#include "jobs/duplicates/block_compare.h"

#include <QHash>

#include <fcntl.h>

std::optional<quint64> FileFingerprint(const QString& path, bool followLink) {
    qint64 size = 0;
    const FileDescriptor fd = OpenRegularFile(path, followLink, &size);
    if (!fd.valid())
        return std::nullopt;
    const qint64 head = qMin(size, kFingerprintSpan);
    const qint64 tail = qMin(size - head, kFingerprintSpan);
    static_assert(2 * kFingerprintSpan <= kCompareBlockSize);
    char* const buffer = ScratchBlock(0);
    // The length is part of the hash: a file that grew or shrank since it was
    // measured no longer matches its group. One that shrinks while it is read
    // here counts as unreadable.
    if (ReadAt(fd.get(), buffer, head, 0) != head ||
        ReadAt(fd.get(), buffer + head, tail, size - tail) != tail)
        return std::nullopt;
    return quint64(qHashBits(buffer, std::size_t(head + tail), std::size_t(size)));
}

std::optional<quint64> ContentHash(const QString& path, qint64 size,
                                   const std::function<bool()>& cancelled) {
    const FileDescriptor fd = OpenRegularFile(path, false);
    if (!fd.valid())
        return std::nullopt;
    ::posix_fadvise(fd.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    char* const buffer = ScratchBlock(0);
    std::size_t hash = std::size_t(size);
    qint64 offset = 0;
    for (;;) {
        if (cancelled && cancelled())
            return std::nullopt;
        const qint64 got = ReadAt(fd.get(), buffer, kCompareBlockSize, offset);
        if (got < 0)
            return std::nullopt;
        hash = qHashBits(buffer, std::size_t(got), hash);
        offset += got;
        if (got < kCompareBlockSize)
            break;
    }
    // A file that changed length since it was measured hashes apart by its
    // bytes; the byte-wise comparison has the last word anyway.
    return quint64(hash);
}
