#include "fs/folder_access.h"

#include <QFile>

#include <cerrno>
#include <climits>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

constexpr qsizetype kLongestPiece = PATH_MAX - 1;

// A handle that serves as the base of further *at() calls, and nothing else:
// it needs search permission only, like a folder on the way of a full path.
constexpr int kWalkFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;

} // namespace

int OpenAnyLength(const QByteArray& path, int flags, mode_t mode) {
    return OpenAnyLengthAt(AT_FDCWD, path, flags, mode);
}

int OpenAnyLengthAt(int folder, const QByteArray& path, int flags, mode_t mode) {
    if (path.size() <= kLongestPiece)
        return ::openat(folder, path.constData(), flags, mode);
    FileDescriptor base;
    qsizetype start = 0;
    while (path.size() - start > kLongestPiece) {
        // The longest piece that ends at a "/" and fits in one call.
        const qsizetype cut = path.lastIndexOf('/', start + kLongestPiece - 1);
        if (cut <= start) {
            errno = ENAMETOOLONG;
            return -1;
        }
        const QByteArray piece = path.mid(start, cut - start + 1);
        const int fd = ::openat(base.valid() ? base.get() : folder, piece.constData(), kWalkFlags);
        if (fd < 0)
            return -1;
        base.reset(fd);
        start = cut + 1;
    }
    const QByteArray rest = path.mid(start);
    return ::openat(base.get(), rest.constData(), flags, mode);
}

PathInFolder OpenContainingFolder(const QString& path) {
    PathInFolder result;
    const QByteArray encoded = QFile::encodeName(path);
    const qsizetype slash = encoded.lastIndexOf('/');
    result.name = encoded.mid(slash + 1);
    if (result.name.isEmpty())
        return result;
    const QByteArray folder = slash < 0 ? QByteArray(".") : encoded.left(slash + 1);
    // Readable where possible, so that the folder can be synced after a
    // rename into it; a bare handle does for every other *at() call.
    int fd = OpenAnyLength(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 && errno == EACCES)
        fd = OpenAnyLength(folder, kWalkFlags);
    result.folder.reset(fd);
    return result;
}

namespace {

// Calls `call` with the name's bytes. Most names are plain ASCII: their
// bytes are their characters, and the call needs no conversion on the heap.
template <class Call> int WithNameBytes(QStringView name, Call call) {
    char ascii[256];
    if (name.size() < qsizetype(sizeof ascii)) {
        qsizetype i = 0;
        for (; i < name.size() && name[i].unicode() < 0x80; ++i)
            ascii[i] = char(name[i].unicode());
        if (i == name.size()) {
            ascii[i] = '\0';
            return call(ascii);
        }
    }
    return call(QFile::encodeName(name.toString()).constData());
}

} // namespace

int FolderCache::folderOf(const QString& path, QStringView& name) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QStringView folder = QStringView(path).left(slash + 1);
    if (folder != m_folder || !m_fd.valid()) {
        m_folder = folder.toString();
        m_fd.reset(slash < 0 ? ::openat(AT_FDCWD, ".", kWalkFlags)
                             : OpenAnyLength(QFile::encodeName(m_folder), kWalkFlags));
        if (!m_fd.valid())
            return -1;
    }
    name = QStringView(path).mid(slash + 1);
    if (name.isEmpty()) {
        errno = ENOENT;
        return -1;
    }
    return m_fd.get();
}

int FolderCache::open(const QString& path, int flags) {
    QStringView name;
    const int folder = folderOf(path, name);
    if (folder < 0)
        return -1;
    return WithNameBytes(name, [&](const char* bytes) { return ::openat(folder, bytes, flags); });
}

bool FolderCache::isFolder(const QString& path) {
    QStringView name;
    const int folder = folderOf(path, name);
    if (folder < 0)
        return false;
    struct stat st {};
    return WithNameBytes(
               name, [&](const char* bytes) { return ::fstatat(folder, bytes, &st, 0); }) == 0 &&
           S_ISDIR(st.st_mode);
}
