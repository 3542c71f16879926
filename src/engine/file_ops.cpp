#include "engine/file_ops.h"

#include "engine/file_descriptor.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool writeAll(int fd, const char* data, ssize_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

bool copyContents(int from, int to) {
    static constexpr ssize_t kBlock = 256 * 1024;
    std::unique_ptr<char[]> buffer(new char[kBlock]);
    for (;;) {
        const ssize_t got = ::read(from, buffer.get(), kBlock);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (got == 0)
            return true;
        if (!writeAll(to, buffer.get(), got))
            return false;
    }
}

bool copyInto(int sourceFd, const struct stat& info, int targetFd, bool sync) {
    if (!copyContents(sourceFd, targetFd))
        return false;
    // The exclusive create applied the umask; give the copy the source's
    // read/write/execute bits. Set-user-ID and set-group-ID are not copied:
    // the copy belongs to whoever runs the job.
    if (::fchmod(targetFd, info.st_mode & 0777) != 0)
        return false;
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    if (::futimens(targetFd, times) != 0)
        return false;
    return !sync || ::fsync(targetFd) == 0;
}

} // namespace

bool CopyFileNoOverwrite(const QString& source, const QString& target, bool sync) {
    const QByteArray from = QFile::encodeName(source);
    const QByteArray to = QFile::encodeName(target);
    FileDescriptor in(::open(from.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!in.valid())
        return false;
    struct stat info {};
    if (::fstat(in.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    FileDescriptor out(::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!out.valid())
        return false; // an existing target is never touched
    const bool copied = copyInto(in.get(), info, out.get(), sync);
    if (out.close() && copied)
        return true;
    ::unlink(to.constData()); // our own partial file, created exclusively above
    return false;
}

bool MoveFileNoOverwrite(const QString& source, const QString& target) {
    const QByteArray from = QFile::encodeName(source);
    const QByteArray to = QFile::encodeName(target);
    if (from.isEmpty() || to.isEmpty())
        return false;
    // POSIX rename replaces an existing target; RENAME_NOREPLACE refuses.
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    int error = errno;
    if (error == EINVAL || error == ENOSYS || error == ENOTSUP) {
        // No RENAME_NOREPLACE here: link fails on an existing target as well.
        if (::link(from.constData(), to.constData()) == 0) {
            if (::unlink(from.constData()) == 0)
                return true;
            ::unlink(to.constData());
            return false;
        }
        error = errno;
    }
    // Across file systems, or where the file system has neither
    // RENAME_NOREPLACE nor hard links: copy, then remove the source.
    if (error != EXDEV && error != EPERM && error != ENOTSUP && error != ENOSYS)
        return false;
    struct stat info {};
    if (::lstat(from.constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    if (!CopyFileNoOverwrite(source, target, true))
        return false;
    if (::unlink(from.constData()) == 0)
        return true;
    ::unlink(to.constData()); // the source stays; do not leave a second copy
    return false;
}

bool MakeFolderPath(const QString& folder) {
    return QDir().mkpath(folder);
}

bool ReplaceFileAtomically(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool IsSameFile(const QString& first, const QString& second) {
    struct stat a {};
    struct stat b {};
    return ::stat(QFile::encodeName(first).constData(), &a) == 0 &&
           ::stat(QFile::encodeName(second).constData(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}
