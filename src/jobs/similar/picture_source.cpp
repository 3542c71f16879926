#include "jobs/similar/picture_source.h"

#include "base/errors.h"
#include "base/file_descriptor.h"
#include "fs/folder_access.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace {

// Far above any picture file the program can decode within its pixel limit.
constexpr std::int64_t kMaxPictureBytes = std::int64_t{1} << 30;

PictureFileKey keyOf(const struct stat& info) {
    return {std::int64_t(info.st_size),
            std::int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
            std::uint64_t(info.st_ino)};
}

[[noreturn]] void fail(const char* what, int error) {
    throw KelvastoError(std::string(what) +
                        (error != 0 ? ": " + std::string(std::strerror(error)) : std::string()));
}

} // namespace

std::optional<PictureFileKey> PictureFileKeyOf(const QString& path) {
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return keyOf(info);
}

PictureFileBytes ReadPictureFileWithKey(const QString& path) {
    // Without blocking: a FIFO under a picture's name must not hang the job.
    const FileDescriptor fd(
        OpenAnyLength(QFile::encodeName(path), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW));
    if (!fd.valid())
        fail("cannot open", errno);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        fail("cannot read", errno);
    if (!S_ISREG(info.st_mode))
        fail("not a regular file", 0);
    if (info.st_size > kMaxPictureBytes)
        fail("file too large for a picture", 0);
    PictureFileBytes file;
    file.key = keyOf(info);
    file.bytes.resize(qsizetype(info.st_size));
    // No further than the size when opened: a file that grows meanwhile
    // gives the bytes its key describes.
    qsizetype done = 0;
    while (done < file.bytes.size()) {
        const ssize_t got =
            ::read(fd.get(), file.bytes.data() + done, std::size_t(file.bytes.size() - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            fail("cannot read", errno);
        if (got == 0)
            break; // shrunk meanwhile: what is there
        done += got;
    }
    file.bytes.truncate(done);
    return file;
}
