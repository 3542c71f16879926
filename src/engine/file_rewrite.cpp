#include "engine/file_rewrite.h"

#include "engine/file_descriptor.h"
#include "engine/scope_exit.h"

#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <memory>

#include <fcntl.h>
#include <unistd.h>

namespace {

bool writeAll(int fd, const char* data, std::int64_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, std::size_t(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

bool readAndWrite(int from, int to, std::int64_t offset, std::int64_t count) {
    constexpr std::int64_t kBlock = 256 * 1024;
    std::unique_ptr<char[]> buffer(new char[kBlock]);
    while (count > 0) {
        const ssize_t got =
            ::pread(from, buffer.get(), std::size_t(std::min(count, kBlock)), offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0 || !writeAll(to, buffer.get(), got))
            return false;
        offset += got;
        count -= got;
    }
    return true;
}

// The kernel copies without passing the bytes through the process (and may
// share blocks on file systems that can); where it cannot, read and write.
bool copyRange(int from, int to, const ByteRange& range) {
    off_t offset = range.begin;
    std::int64_t count = range.size();
    while (count > 0) {
        const ssize_t copied = ::copy_file_range(from, &offset, to, nullptr, std::size_t(count), 0);
        if (copied < 0 && errno == EINTR)
            continue;
        if (copied < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL ||
                           errno == EOPNOTSUPP || errno == EPERM))
            return readAndWrite(from, to, offset, count);
        if (copied <= 0)
            return false; // an error, or the file shrank while we read it
        count -= copied;
    }
    return true;
}

// The reduced file should look like the old one to everyone else. Only root
// may give a file away; a group the user belongs to can still be kept.
void keepOwner(int fd, const struct stat& info) {
    if (info.st_uid == ::geteuid() && info.st_gid == ::getegid())
        return;
    if (::fchown(fd, info.st_uid, info.st_gid) != 0)
        (void)::fchown(fd, uid_t(-1), info.st_gid);
}

} // namespace

bool RewriteFileFromRanges(const QString& path, int sourceFd, const struct stat& info,
                           const std::vector<ByteRange>& ranges) {
    const QByteArray target = QFile::encodeName(path);
    const qsizetype slash = target.lastIndexOf('/');
    QByteArray temporary = slash < 0 ? QByteArray() : target.left(slash + 1);
    // Hidden, and without a picture extension, so no collection picks it up.
    temporary += ".kelvasto-XXXXXX";
    FileDescriptor out(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!out.valid())
        return false;
    bool renamed = false;
    ScopeExit removeTemporary([&] {
        if (!renamed)
            ::unlink(temporary.constData());
    });
    for (const ByteRange& range : ranges)
        if (!copyRange(sourceFd, out.get(), range))
            return false;
    keepOwner(out.get(), info);
    // After fchown, which may clear bits; set-user-ID and the like are not kept.
    if (::fchmod(out.get(), info.st_mode & 0777) != 0)
        return false;
    // On disk before the rename, so a crash cannot leave an empty file under
    // the old name.
    if (::fsync(out.get()) != 0 || !out.close())
        return false;
    renamed = ::rename(temporary.constData(), target.constData()) == 0;
    return renamed;
}
