#include "fs/file_ops.h"

#include "base/file_descriptor.h"
#include "fs/directory_handle.h"
#include "fs/folder_access.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr ssize_t kBlock = 256 * 1024;

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

ssize_t readSome(int fd, char* buffer, ssize_t size) {
    ssize_t got;
    do {
        got = ::read(fd, buffer, size_t(size));
    } while (got < 0 && errno == EINTR);
    return got;
}

bool copyContents(int from, int to) {
    std::unique_ptr<char[]> buffer(new char[kBlock]);
    for (;;) {
        const ssize_t got = readSome(from, buffer.get(), kBlock);
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        if (!writeAll(to, buffer.get(), got))
            return false;
    }
}

// Renames `from` (in `folder`) to `to` (in `toFolder`) unless `to` exists.
// errno is EEXIST when the name was taken.
bool renameWithoutReplacing(int folder, const char* from, int toFolder, const char* to) {
    // POSIX rename replaces an existing target; RENAME_NOREPLACE refuses.
    if (::renameat2(folder, from, toFolder, to, RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return false;
    // No RENAME_NOREPLACE here: link fails on an existing target as well.
    if (::linkat(folder, from, toFolder, to, 0) == 0) {
        ::unlinkat(folder, from, 0);
        return true;
    }
    if (errno != EPERM && errno != ENOTSUP && errno != ENOSYS)
        return false;
    // Neither (some network and FAT file systems): look, then rename. Only a
    // writer racing us between the two calls could be replaced.
    struct stat st {};
    if (::fstatat(toFolder, to, &st, AT_SYMLINK_NOFOLLOW) == 0) {
        errno = EEXIST;
        return false;
    }
    if (errno != ENOENT)
        return false;
    return ::renameat(folder, from, toFolder, to) == 0;
}

// A temporary file beside its target, removed again unless it was placed.
// It is locked while it lives, so that RemoveLeftoverTemporaries of another
// run never takes a file that is still being written.
class TemporaryFile {
public:
    TemporaryFile(int folder, mode_t mode)
        : m_folder(folder), m_fd(CreateTemporaryFile(folder, QByteArray(), mode, m_name)),
          m_created(m_fd.valid()) {}
    ~TemporaryFile() {
        if (m_created && !m_placed)
            ::unlinkat(m_folder, m_name.constData(), 0);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool valid() const { return m_fd.valid(); }
    int fd() const { return m_fd.get(); }

    // Renames the file to `name`, then closes it (still locked until placed)
    // and reports late write errors of the close.
    bool place(const char* name, bool replace) {
        const bool placed =
            replace ? ::renameat(m_folder, m_name.constData(), m_folder, name) == 0
                    : renameWithoutReplacing(m_folder, m_name.constData(), m_folder, name);
        const int error = errno;
        m_placed = placed;
        const bool closed = m_fd.close();
        if (placed && !closed) {
            // A new file whose data did not arrive is ours to take back; a
            // replaced one cannot be given back, and its data was synced.
            if (!replace)
                ::unlinkat(m_folder, name, 0);
            return false;
        }
        errno = error;
        return placed;
    }

private:
    int m_folder;
    QByteArray m_name;
    FileDescriptor m_fd;
    bool m_created = false;
    bool m_placed = false;
};

bool giveAttributes(int fd, const struct stat& info) {
    // Owner bits only: set-user-ID and set-group-ID are not copied, the copy
    // belongs to whoever runs the job.
    if (::fchmod(fd, info.st_mode & 0777) != 0)
        return false;
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    return ::futimens(fd, times) == 0;
}

// Copies the open regular file into `target` of its folder by way of a
// temporary file. errno is EEXIST when the target name was taken.
bool copyIntoFolder(int source, const struct stat& info, const PathInFolder& target, bool sync) {
    TemporaryFile temporary(target.folder.get(), 0600);
    if (!temporary.valid())
        return false;
    if (!copyContents(source, temporary.fd()) || !giveAttributes(temporary.fd(), info))
        return false;
    if (sync && ::fsync(temporary.fd()) != 0)
        return false;
    if (!temporary.place(target.name.constData(), false))
        return false;
    if (sync)
        ::fsync(target.folder.get()); // the new name survives a power cut too; best effort
    return true;
}

bool isRegular(int folder, const char* name, struct stat& info) {
    return ::fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode);
}

} // namespace

bool CopyFileNoOverwrite(const QString& source, const QString& target, bool sync) {
    if (source.isEmpty())
        return false;
    FileDescriptor in(OpenAnyLength(QFile::encodeName(source), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!in.valid())
        return false;
    struct stat info {};
    if (::fstat(in.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    const PathInFolder to = OpenContainingFolder(target);
    if (!to.valid())
        return false;
    struct stat existing {};
    if (::fstatat(to.folder.get(), to.name.constData(), &existing, AT_SYMLINK_NOFOLLOW) == 0)
        return false; // taken: do not even start the copy
    return copyIntoFolder(in.get(), info, to, sync);
}

bool MoveFileNoOverwrite(const QString& source, const QString& target) {
    // The common case in one call: both paths short enough for the kernel,
    // one file system.
    const QByteArray sourcePath = QFile::encodeName(source);
    const QByteArray targetPath = QFile::encodeName(target);
    if (sourcePath.isEmpty() || targetPath.isEmpty())
        return false;
    if (sourcePath.size() < PATH_MAX && targetPath.size() < PATH_MAX) {
        if (::renameat2(AT_FDCWD, sourcePath.constData(), AT_FDCWD, targetPath.constData(),
                        RENAME_NOREPLACE) == 0)
            return true;
        if (errno == EEXIST || errno == ENOENT)
            return false;
    }
    const PathInFolder from = OpenContainingFolder(source);
    const PathInFolder to = OpenContainingFolder(target);
    if (!from.valid() || !to.valid())
        return false;
    if (renameWithoutReplacing(from.folder.get(), from.name.constData(), to.folder.get(),
                               to.name.constData()))
        return true;
    // Across file systems, or where the file system has neither
    // RENAME_NOREPLACE nor hard links: copy, then remove the source.
    const int error = errno;
    if (error != EXDEV && error != EPERM && error != ENOTSUP && error != ENOSYS)
        return false;
    struct stat info {};
    if (!isRegular(from.folder.get(), from.name.constData(), info))
        return false;
    FileDescriptor in(::openat(from.folder.get(), from.name.constData(),
                               O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (!in.valid() || !copyIntoFolder(in.get(), info, to, true))
        return false;
    if (::unlinkat(from.folder.get(), from.name.constData(), 0) == 0)
        return true;
    ::unlinkat(to.folder.get(), to.name.constData(), 0); // the source stays; no second copy
    return false;
}

bool SameFileContent(const QString& first, const QString& second) {
    // A link is never taken for the file it points to: removing one of two
    // "same" files must not remove the only one.
    constexpr int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW;
    FileDescriptor a(OpenAnyLength(QFile::encodeName(first), flags));
    FileDescriptor b(OpenAnyLength(QFile::encodeName(second), flags));
    struct stat infoA {
    }, infoB{};
    if (!a.valid() || !b.valid() || ::fstat(a.get(), &infoA) != 0 ||
        ::fstat(b.get(), &infoB) != 0 || !S_ISREG(infoA.st_mode) || !S_ISREG(infoB.st_mode))
        return false;
    if (infoA.st_dev == infoB.st_dev && infoA.st_ino == infoB.st_ino)
        return true;
    if (infoA.st_size != infoB.st_size)
        return false;
    std::unique_ptr<char[]> bufferA(new char[kBlock]);
    std::unique_ptr<char[]> bufferB(new char[kBlock]);
    for (;;) {
        const ssize_t gotA = readSome(a.get(), bufferA.get(), kBlock);
        if (gotA < 0)
            return false;
        // Fill the second buffer to the same length (short reads happen).
        ssize_t gotB = 0;
        while (gotB < gotA) {
            const ssize_t got = readSome(b.get(), bufferB.get() + gotB, gotA - gotB);
            if (got <= 0)
                return false;
            gotB += got;
        }
        if (gotA == 0)
            return readSome(b.get(), bufferB.get(), 1) == 0;
        if (std::memcmp(bufferA.get(), bufferB.get(), size_t(gotA)) != 0)
            return false;
    }
}

bool FileExists(const QString& path) {
    const PathInFolder at = OpenContainingFolder(path);
    struct stat info {};
    return at.valid() &&
           ::fstatat(at.folder.get(), at.name.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

bool RemoveFile(const QString& path) {
    const PathInFolder at = OpenContainingFolder(path);
    return at.valid() && ::unlinkat(at.folder.get(), at.name.constData(), 0) == 0;
}

int RemoveLeftoverTemporaries(const QString& folder) {
    const int fd = OpenAnyLength(QFile::encodeName(folder), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    const DirHandle dir = AdoptFolderDescriptor(fd);
    if (!dir)
        return 0;
    const std::size_t prefixLength = std::strlen(kTemporaryPrefix);
    int removed = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (std::strncmp(entry->d_name, kTemporaryPrefix, prefixLength) != 0)
            continue;
        FileDescriptor file(
            ::openat(fd, entry->d_name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY));
        struct stat info {};
        if (!file.valid() || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
            continue;
        // A writer holds its temporary file locked; a killed one no longer does.
        if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0)
            continue;
        if (::unlinkat(fd, entry->d_name, 0) == 0)
            ++removed;
    }
    return removed;
}

void LeftoverSweeper::sweep(const QString& path) {
    const QString folder = path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
    if (folder.isEmpty() || m_swept.contains(folder))
        return;
    m_swept.insert(folder);
    RemoveLeftoverTemporaries(folder);
}

bool MakeFolderPath(const QString& folder) {
    return QDir().mkpath(folder);
}

bool ReplaceFileAtomically(const QString& path, const QByteArray& bytes) {
    const PathInFolder at = OpenContainingFolder(path);
    if (!at.valid())
        return false;
    struct stat old {};
    const bool existed = ::fstatat(at.folder.get(), at.name.constData(), &old, 0) == 0;
    // A new file gets the usual permissions (the umask applies), a replaced
    // one keeps its own.
    TemporaryFile temporary(at.folder.get(), 0666);
    if (!temporary.valid())
        return false;
    if (existed && ::fchmod(temporary.fd(), old.st_mode & 07777) != 0)
        return false;
    if (!writeAll(temporary.fd(), bytes.constData(), bytes.size()) || ::fsync(temporary.fd()) != 0)
        return false;
    return temporary.place(at.name.constData(), true);
}

bool CreateFileAtomically(const QString& path, const QByteArray& bytes) {
    const PathInFolder at = OpenContainingFolder(path);
    if (!at.valid())
        return false;
    TemporaryFile temporary(at.folder.get(), 0666);
    if (!temporary.valid())
        return false;
    if (!writeAll(temporary.fd(), bytes.constData(), bytes.size()) || ::fsync(temporary.fd()) != 0)
        return false;
    return temporary.place(at.name.constData(), false);
}

bool IsSameFile(const QString& first, const QString& second) {
    struct stat a {};
    struct stat b {};
    return ::stat(QFile::encodeName(first).constData(), &a) == 0 &&
           ::stat(QFile::encodeName(second).constData(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}
