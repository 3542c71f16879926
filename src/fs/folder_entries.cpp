#include "fs/folder_entries.h"

#include "fs/folder_access.h"

#include <QByteArray>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isDotOrDotDot(const char* raw) {
    return raw[0] == '.' && (raw[1] == '\0' || (raw[1] == '.' && raw[2] == '\0'));
}

FolderEntryKind kindOfListing(unsigned char type) {
    if (type == DT_DIR)
        return FolderEntryKind::Folder;
    return type == DT_REG ? FolderEntryKind::File : FolderEntryKind::System;
}

FolderEntryKind kindOfMode(unsigned mode) {
    if (S_ISDIR(mode))
        return FolderEntryKind::Folder;
    return S_ISREG(mode) ? FolderEntryKind::File : FolderEntryKind::System;
}

// Kind, size and time of one entry, following a link. False when the entry
// is gone (deleted between readdir and statx).
bool describe(int dirFd, const dirent* entry, FolderEntry& out) {
    struct statx st {};
    if (::statx(dirFd, entry->d_name, AT_NO_AUTOMOUNT, STATX_TYPE | STATX_SIZE | STATX_MTIME,
                &st) == 0) {
        out.kind = kindOfMode(st.stx_mode);
        if (out.kind == FolderEntryKind::File)
            out.size = std::int64_t(st.stx_size);
        out.modifiedMs =
            std::int64_t(st.stx_mtime.tv_sec) * 1000 + std::int64_t(st.stx_mtime.tv_nsec) / 1000000;
        return true;
    }
    if (errno == ENOENT) {
        // A dangling link is still there; a vanished entry is not.
        struct stat link {};
        if (::fstatat(dirFd, entry->d_name, &link, AT_SYMLINK_NOFOLLOW) != 0)
            return false;
        out.kind = FolderEntryKind::System;
        return true;
    }
    // A link loop, or a folder that may be read but not searched: what the
    // listing itself says.
    out.kind = kindOfListing(entry->d_type);
    return true;
}

void setName(const char* raw, FolderEntry& out) {
    qsizetype length = 0;
    bool ascii = true;
    for (; raw[length] != '\0'; ++length)
        ascii &= static_cast<unsigned char>(raw[length]) < 0x80;
    out.ascii = ascii;
    if (ascii) {
        out.name = QString::fromLatin1(raw, length);
        return;
    }
    const QByteArray bytes = QByteArray::fromRawData(raw, length);
    out.name = QFile::decodeName(bytes);
    out.faithful = QFile::encodeName(out.name) == bytes;
}

} // namespace

FolderEntryReader::FolderEntryReader(const QString& folder, Detail detail) : m_detail(detail) {
    const int fd = OpenAnyLength(QFile::encodeName(folder), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        m_error = errno;
        return;
    }
    m_dir = AdoptFolderDescriptor(fd);
    if (!m_dir)
        m_error = errno;
}

bool FolderEntryReader::read(std::vector<FolderEntry>& entries, int count) {
    if (!m_dir)
        return false;
    const int dirFd = ::dirfd(m_dir.get());
    int added = 0;
    while (added < count) {
        const dirent* entry = ::readdir(m_dir.get());
        if (!entry)
            return false;
        if (isDotOrDotDot(entry->d_name))
            continue;
        FolderEntry out;
        if (m_detail == Detail::KindOnly && entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
            out.kind = kindOfListing(entry->d_type);
        else if (!describe(dirFd, entry, out))
            continue;
        setName(entry->d_name, out);
        entries.push_back(std::move(out));
        ++added;
    }
    return true;
}
