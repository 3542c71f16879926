#include "engine/defect_test.h"

#include "base/errors.h"
#include "engine/file_descriptor.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::int64_t kShortestSoundFile = 26;
// A sound picture has its marker in the last bytes: the first read is small
// so that the common case reads little; the rest of the quarter follows in
// large blocks.
constexpr std::int64_t kFirstBlockSize = 4 * 1024;
constexpr std::int64_t kBlockSize = 64 * 1024;

[[noreturn]] void fail(const char* what, const QString& path) {
    throw KelvastoError(std::string(what) + ": " + QFile::encodeName(path).toStdString());
}

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

bool IsDefectiveJpeg(const QString& path) {
    // O_NONBLOCK: a FIFO handed in by name must not hang the scan.
    const FileDescriptor file(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!file.valid())
        fail("cannot open", path);
    struct stat info {};
    if (::fstat(file.get(), &info) != 0)
        fail("cannot read", path);
    if (!S_ISREG(info.st_mode))
        fail("not a regular file", path);
    const std::int64_t n = info.st_size;
    if (n < kShortestSoundFile)
        return true;

    // Pairs start at p in [lowest, highest]; each block also holds the byte
    // after its last start, so a pair across two blocks is seen.
    const std::int64_t lowest = DefectSearchLimit(n) + 1;
    const std::int64_t highest = n - 2;
    // One buffer per thread for the whole run instead of one per file.
    thread_local std::unique_ptr<unsigned char[]> buffer(new unsigned char[kBlockSize + 1]);
    std::int64_t block = kFirstBlockSize;
    for (std::int64_t top = highest; top >= lowest; block = kBlockSize) {
        const std::int64_t bottom = std::max(lowest, top - block + 1);
        const std::int64_t count = top - bottom + 2;
        if (!readExactly(file.get(), buffer.get(), count, bottom))
            fail("cannot read", path);
        for (std::int64_t i = top - bottom; i >= 0; --i)
            if (buffer[i] == 0xFF && buffer[i + 1] == 0xD9)
                return false;
        top = bottom - 1;
    }
    return true;
}
