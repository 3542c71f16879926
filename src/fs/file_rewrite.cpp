#include "fs/file_rewrite.h"

#include "base/file_descriptor.h"
#include "fs/file_ops.h"

#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/xattr.h>
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

// A reused file still has the mode of the picture it held. While it takes
// the next one's bytes, neither may be open to more users than its own
// permission bits allow. `now` receives the file's state afterwards, which
// writing its bytes does not change.
bool narrowMode(int fd, const struct stat& info, struct stat& now) {
    if (::fstat(fd, &now) != 0)
        return false;
    const mode_t both = now.st_mode & info.st_mode & 0777;
    if ((now.st_mode & 07777) == both)
        return true;
    now.st_mode = (now.st_mode & ~mode_t(07777)) | both;
    return ::fchmod(fd, both) == 0;
}

// The reduced file should look like the old one to everyone else: its
// permission bits (set-user-ID and the like are not kept) and, where
// allowed, its owner and group. Only root may give a file away; a group the
// user belongs to can still be kept.
bool keepOwnerAndMode(int fd, const struct stat& info, const struct stat& now) {
    const mode_t mode = info.st_mode & 0777;
    if (now.st_uid != info.st_uid || now.st_gid != info.st_gid) {
        if (::fchown(fd, info.st_uid, info.st_gid) != 0)
            (void)::fchown(fd, uid_t(-1), info.st_gid);
    } else if ((now.st_mode & 07777) == mode) {
        return true; // a reused file often has them already
    }
    return ::fchmod(fd, mode) == 0; // after fchown, which may clear bits
}

// ext4 in its default modes commits a rename in its journal only after the
// data written before it (the commit flushes the disk first), so once the
// commit has waited for a file's write-out, a crash cannot leave an empty or
// mixed file under the old name there. Elsewhere the data is flushed before
// the rename.
bool MountOrdersReplacingRename(const QString& path) {
    const QStorageInfo volume(QFileInfo(path).absolutePath());
    if (volume.fileSystemType() != "ext4")
        return false;
    // The options are not in QStorageInfo; the mount table has them.
    QFile mounts(QStringLiteral("/proc/self/mounts"));
    if (!mounts.open(QIODevice::ReadOnly))
        return false;
    const QByteArray device = volume.device();
    const QByteArray root = QFile::encodeName(volume.rootPath());
    for (const QByteArray& line : mounts.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 4 || fields[0] != device || fields[1] != root)
            continue;
        const QList<QByteArray> options = fields[3].split(',');
        return !options.contains("noauto_da_alloc") && !options.contains("data=writeback");
    }
    return false;
}

QByteArray folderOf(const QByteArray& path) {
    return path.left(path.lastIndexOf('/') + 1);
}

// Whether a replaced file may become the next temporary file: it must look
// like a new one, carrying nothing of the old file that the writing of the
// next one would not set again (other links, another owner, extended
// attributes such as access lists, attribute flags).
bool ReusableAsTemporary(int fd, const struct stat& info) {
    constexpr long kHousekeepingFlags = FS_EXTENT_FL | FS_HUGE_FILE_FL;
    long flags = 0;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0)
        flags = 0; // the file system has none
    return S_ISREG(info.st_mode) && info.st_nlink == 1 && info.st_uid == ::geteuid() &&
           info.st_gid == ::getegid() && (flags & ~kHousekeepingFlags) == 0 &&
           ::flistxattr(fd, nullptr, 0) == 0;
}

} // namespace

StagedFile::~StagedFile() {
    if (!temporary.isEmpty())
        ::unlink(temporary.constData());
}

void StagedRewrites::recycle(StagedFile& staged) {
    FileDescriptor fd(::open(staged.temporary.constData(),
                             O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY));
    struct stat info {};
    if (fd.valid() && ::fstat(fd.get(), &info) == 0 && info.st_ino == staged.replaced &&
        ReusableAsTemporary(fd.get(), info) && ::flock(fd.get(), LOCK_EX | LOCK_NB) == 0) {
        m_recycled.give(staged.temporary, std::move(fd), info.st_dev, info.st_size);
        staged.temporary.clear();
    }
    // Otherwise it goes with `staged`.
}

bool StagedRewrites::replace(StagedFile& staged) {
    if (!staged.fd.close())
        return false;
    const char* temporary = staged.temporary.constData();
    const char* target = staged.target.constData();
    if (::renameat2(AT_FDCWD, temporary, AT_FDCWD, target, RENAME_EXCHANGE) == 0) {
        recycle(staged);
        return true;
    }
    if (::rename(temporary, target) != 0)
        return false;
    staged.temporary.clear();
    return true;
}

std::unique_ptr<StagedFile> StagedRewrites::prepare(const QString& path, int sourceFd,
                                                    const struct stat& info,
                                                    const std::vector<ByteRange>& ranges) {
    auto staged = std::make_unique<StagedFile>();
    staged->path = path;
    staged->target = QFile::encodeName(path);
    staged->replaced = info.st_ino;
    const QByteArray folder = folderOf(staged->target);
    {
        const std::lock_guard lock(m_mutex);
        // What a killed run left here goes before this run adds its own.
        m_sweeper.sweep(path);
        staged->ordered = ordersReplacingRename(info.st_dev, path);
    }
    for (const ByteRange& range : ranges)
        staged->size += range.size();
    // Hidden, and without a picture extension, so no collection picks it up.
    QByteArray temporary;
    staged->fd = m_recycled.take(info.st_dev, folder, staged->size, temporary);
    if (!staged->fd.valid())
        staged->fd = CreateTemporaryFile(AT_FDCWD, folder, 0600, temporary);
    if (!staged->fd.valid())
        return nullptr;
    staged->temporary = temporary;
    struct stat now {};
    bool written = narrowMode(staged->fd.get(), info, now);
    for (const ByteRange& range : ranges)
        written = written && copyRange(sourceFd, staged->fd.get(), range);
    if (!written || !keepOwnerAndMode(staged->fd.get(), info, now))
        return nullptr;
    // Start writing it out now, while the next files are read: the commit
    // then finds little left to wait for.
    (void)::sync_file_range(staged->fd.get(), 0, 0, SYNC_FILE_RANGE_WRITE);
    return staged;
}

void StagedRewrites::add(std::unique_ptr<StagedFile> staged) {
    m_bytes += staged->size;
    m_staged.push_back(std::move(staged));
}

bool StagedRewrites::contains(const QString& path) const {
    for (const auto& staged : m_staged)
        if (staged->path == path)
            return true;
    return false;
}

// Called with m_mutex held.
bool StagedRewrites::ordersReplacingRename(dev_t device, const QString& path) {
    for (const auto& [known, ordered] : m_ordering)
        if (known == device)
            return ordered;
    const bool ordered = MountOrdersReplacingRename(path);
    m_ordering.emplace_back(device, ordered);
    return ordered;
}

QStringList StagedRewrites::commit() {
    // All on disk before the first rename, so a crash cannot leave an empty
    // file under an old name, unless the file system sees to that itself.
    // One flush per file system writes the whole batch: fsync would wait for
    // the disk once per file.
    std::vector<std::pair<dev_t, bool>> flushes; // file system, flushed
    const auto durable = [&](const StagedFile& staged) {
        // Where the file system orders a replacing rename after the file's
        // new blocks, it does not for an exchange, nor for blocks written
        // over: the data is waited for, and the rename comes after it.
        if (staged.ordered)
            return ::sync_file_range(staged.fd.get(), 0, 0,
                                     SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE |
                                         SYNC_FILE_RANGE_WAIT_AFTER) == 0;
        struct stat info {};
        if (::fstat(staged.fd.get(), &info) != 0)
            return false;
        auto flush = std::find_if(flushes.begin(), flushes.end(),
                                  [&](const auto& f) { return f.first == info.st_dev; });
        if (flush == flushes.end())
            flush = flushes.insert(flushes.end(), {info.st_dev, ::syncfs(staged.fd.get()) == 0});
        return flush->second || ::fsync(staged.fd.get()) == 0;
    };
    QStringList failed;
    for (const auto& staged : m_staged) {
        if (!durable(*staged) || !replace(*staged))
            failed << staged->path;
    }
    m_staged.clear(); // removes the temporary files of those that failed
    m_bytes = 0;
    return failed;
}
