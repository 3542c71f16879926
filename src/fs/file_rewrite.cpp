#include "fs/file_rewrite.h"

#include "base/file_descriptor.h"
#include "fs/file_ops.h"
#include "fs/rename_order.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>

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

// The reduced file should look like the old one to everyone else: its
// permission bits (set-user-ID and the like are not kept) and, where
// allowed, its owner and group. Only root may give a file away; a group the
// user belongs to can still be kept.
bool keepOwnerAndMode(int fd, const struct stat& info) {
    struct stat now {};
    if (::fstat(fd, &now) != 0)
        return false;
    if (now.st_uid != info.st_uid || now.st_gid != info.st_gid) {
        if (::fchown(fd, info.st_uid, info.st_gid) != 0)
            (void)::fchown(fd, uid_t(-1), info.st_gid);
    }
    return ::fchmod(fd, info.st_mode & 0777) == 0; // after fchown, which may clear bits
}

QByteArray folderOf(const QByteArray& path) {
    return path.left(path.lastIndexOf('/') + 1);
}

std::mutex gHookMutex;
std::function<void(const QString&)> gBeforeReplace;

void runBeforeReplace(const QString& path) {
    std::function<void(const QString&)> step;
    {
        const std::lock_guard lock(gHookMutex);
        step = gBeforeReplace;
    }
    if (step)
        step(path);
}

} // namespace

StagedFile::~StagedFile() {
    if (!temporary.isEmpty())
        ::unlink(temporary.constData());
}

BeforeReplaceHook::BeforeReplaceHook(std::function<void(const QString&)> step) {
    const std::lock_guard lock(gHookMutex);
    m_previous = std::exchange(gBeforeReplace, std::move(step));
}

BeforeReplaceHook::~BeforeReplaceHook() {
    const std::lock_guard lock(gHookMutex);
    gBeforeReplace = std::move(m_previous);
}

RewriteOutcome StagedRewrites::replace(StagedFile& staged) {
    runBeforeReplace(staged.path());
    // The check and the rename are two steps; another rewrite by this program
    // cannot come between them, since it would need the lock held here. Only
    // a foreign program acting in those microseconds could be overtaken.
    if (!staged.source.stillInPlace())
        return RewriteOutcome::Changed;
    if (::rename(staged.temporary.constData(), staged.target.constData()) != 0)
        return RewriteOutcome::Failed;
    staged.temporary.clear();
    // Closed only now: while open, its lock keeps another run's sweep of
    // leftovers away from it. Late write errors of a close are those of
    // network file systems, whose data was flushed before the rename.
    staged.fd.close();
    return RewriteOutcome::Replaced;
}

std::unique_ptr<StagedFile> StagedRewrites::prepare(RewriteSource source,
                                                    const std::vector<ByteRange>& ranges) {
    auto staged = std::make_unique<StagedFile>();
    staged->source = std::move(source);
    const int sourceFd = staged->source.fd();
    const struct stat& info = staged->source.info();
    staged->target = QFile::encodeName(staged->path());
    bool ordered = false;
    {
        const std::lock_guard lock(m_mutex);
        // What a killed run left here goes before this run adds its own.
        m_sweeper.sweep(staged->path());
        ordered = ordersReplacingRename(info.st_dev, sourceFd);
    }
    for (const ByteRange& range : ranges)
        staged->size += range.size();
    // Hidden, and without a picture extension, so no collection picks it up.
    // Always a new file: the old one stays whole for whoever reads it.
    QByteArray temporary;
    staged->fd = CreateTemporaryFile(AT_FDCWD, folderOf(staged->target), 0600, temporary);
    if (!staged->fd.valid())
        return nullptr;
    staged->temporary = temporary;
    bool written = true;
    for (const ByteRange& range : ranges)
        written = written && copyRange(sourceFd, staged->fd.get(), range);
    if (!written || !keepOwnerAndMode(staged->fd.get(), info))
        return nullptr;
    if (!ordered)
        return ::fdatasync(staged->fd.get()) == 0 ? std::move(staged) : nullptr;
    // The file system writes the data before it commits the rename; start
    // that now, on this thread, so the rename finds it under way and does not
    // wait to hand it to the disk itself.
    (void)::sync_file_range(staged->fd.get(), 0, 0, SYNC_FILE_RANGE_WRITE);
    return staged;
}

void StagedRewrites::add(std::unique_ptr<StagedFile> staged) {
    m_staged.push_back(std::move(staged));
}

bool StagedRewrites::contains(const QString& path) const {
    for (const auto& staged : m_staged)
        if (staged->path() == path)
            return true;
    return false;
}

// Called with m_mutex held.
bool StagedRewrites::ordersReplacingRename(dev_t device, int fd) {
    for (const auto& [known, ordered] : m_ordering)
        if (known == device)
            return ordered;
    const bool ordered = OrdersReplacingRename(fd);
    m_ordering.emplace_back(device, ordered);
    return ordered;
}

std::vector<CommittedFile> StagedRewrites::commit() {
    std::vector<CommittedFile> done;
    for (const auto& staged : m_staged)
        done.push_back({staged->path(), replace(*staged)});
    m_staged.clear(); // removes the temporary files of those not put in place
    return done;
}
