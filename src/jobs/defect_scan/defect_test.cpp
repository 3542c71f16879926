#include "jobs/defect_scan/defect_test.h"

#include "base/errors.h"
#include "base/file_descriptor.h"
#include "fs/folder_access.h"
#include "i18n/failure_texts.h"
#include "i18n/own_texts.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::int64_t kShortestSoundFile = 26;
// A sound picture has its marker in its very last bytes: the first read
// takes only a few of them; pictures with data behind the marker get a
// larger second read, and the rest of the quarter follows in large blocks.
constexpr std::int64_t kBlockSizes[] = {32, 4 * 1024, 64 * 1024};
constexpr std::int64_t kLargestBlock = 64 * 1024;

// O_NONBLOCK: a FIFO handed in by name must not hang the scan.
constexpr int kOpenFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK;

bool readExactly(int fd, unsigned char* buffer, std::int64_t count, std::int64_t offset) {
    while (count > 0) {
        const ssize_t got = ::pread(fd, buffer, size_t(count), off_t(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        buffer += got;
        count -= got;
        offset += got;
    }
    return true;
}

// True when a pair 0xFF 0xD9 starts at one of the first `starts` bytes of
// `bytes` (which holds one byte more). The search runs from the end, from
// one 0xFF to the next, as most blocks hold few of them.
bool holdsMarkerPair(const unsigned char* bytes, std::int64_t starts) {
    std::size_t length = std::size_t(starts);
    while (length > 0) {
        const void* found = ::memrchr(bytes, 0xFF, length);
        if (!found)
            return false;
        const std::size_t at = std::size_t(static_cast<const unsigned char*>(found) - bytes);
        if (bytes[at + 1] == 0xD9)
            return true;
        length = at;
    }
    return false;
}

DefectTestResult failed(const char* key, int error) {
    DefectTestResult result;
    result.failure = OwnText(key);
    if (error != 0)
        result.failure = OwnText("reason.with_cause").arg(result.failure, SystemErrorText(error));
    return result;
}

DefectTestResult testOpenFile(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return failed("skip.fileUnreadable", errno);
    if (!S_ISREG(info.st_mode))
        return failed("skip.notRegularFile", 0);
    DefectTestResult result;
    result.readable = true;
    result.defective = true;
    const std::int64_t n = info.st_size;
    if (n < kShortestSoundFile)
        return result;

    // Pairs start at p in [lowest, highest]; each block also holds the byte
    // after its last start, so a pair across two blocks is seen.
    const std::int64_t lowest = DefectSearchLimit(n) + 1;
    const std::int64_t highest = n - 2;
    // One buffer per thread for the whole run instead of one per file.
    thread_local std::unique_ptr<unsigned char[]> buffer(new unsigned char[kLargestBlock + 1]);
    int round = 0;
    for (std::int64_t top = highest; top >= lowest; round = std::min(round + 1, 2)) {
        const std::int64_t bottom = std::max(lowest, top - kBlockSizes[round] + 1);
        const std::int64_t count = top - bottom + 2;
        if (!readExactly(fd, buffer.get(), count, bottom))
            return failed("skip.fileUnreadable", errno);
        if (holdsMarkerPair(buffer.get(), top - bottom + 1)) {
            result.defective = false;
            return result;
        }
        top = bottom - 1;
    }
    return result;
}

} // namespace

std::int64_t DefectSearchLimit(std::int64_t n) {
    // n = 4a + b, so n * 0.75 = 3a + 0.75b.
    const std::int64_t a = n / 4;
    switch (n % 4) {
    case 0:
        return 3 * a;
    case 1:
        return 3 * a + 1; // 3a + 0.75
    case 2:
        return (3 * a + 1) % 2 == 0 ? 3 * a + 1 : 3 * a + 2; // 3a + 1.5, to even
    default:
        return 3 * a + 2; // 3a + 2.25
    }
}

DefectTestResult TestDefectiveJpeg(const QString& path, FolderCache& folders) {
    const FileDescriptor file(folders.open(path, kOpenFlags));
    if (!file.valid())
        return failed("skip.fileUnreadable", errno);
    return testOpenFile(file.get());
}

bool IsDefectiveJpeg(const QString& path) {
    const FileDescriptor file(OpenAnyLength(QFile::encodeName(path), kOpenFlags));
    const DefectTestResult result =
        file.valid() ? testOpenFile(file.get()) : failed("skip.fileUnreadable", errno);
    if (!result.readable)
        throw KelvastoError(result.failure.toStdString() + ": " +
                            QFile::encodeName(path).toStdString());
    return result.defective;
}
