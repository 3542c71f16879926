#include "engine/file_collection.h"

#include "engine/job_host.h"
#include "engine/path_utils.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <memory>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Case-insensitive wildcard match with backtracking on the last "*": linear
// for the usual masks, never exponential.
bool matchFolded(QStringView mask, QStringView name) {
    qsizetype m = 0, n = 0, starMask = -1, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == QLatin1Char('*')) {
            starMask = m++;
            starName = n;
        } else if (m < mask.size() && (mask[m] == QLatin1Char('?') ||
                                       mask[m].toCaseFolded() == name[n].toCaseFolded())) {
            ++m;
            ++n;
        } else if (starMask >= 0) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == QLatin1Char('*'))
        ++m;
    return m == mask.size();
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

struct Entry {
    QString name;
    QByteArray encoded;
};

// Listing order: by name ignoring case, equal names in byte order.
bool listingOrder(const Entry& a, const Entry& b) {
    const int c = a.name.compare(b.name, Qt::CaseInsensitive);
    if (c != 0)
        return c < 0;
    return a.encoded < b.encoded;
}

// d_type, or lstat when the file system does not fill it in.
unsigned char entryType(int dirFd, const dirent* entry) {
    if (entry->d_type != DT_UNKNOWN)
        return entry->d_type;
    struct stat st {};
    if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return DT_UNKNOWN;
    if (S_ISREG(st.st_mode))
        return DT_REG;
    if (S_ISDIR(st.st_mode))
        return DT_DIR;
    return DT_UNKNOWN;
}

// Opens a folder without following a link in its last component, so a
// folder swapped for a link between listing and opening is not entered.
DirHandle openFolder(const QByteArray& encodedFolder, bool followLink) {
    int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    if (!followLink)
        flags |= O_NOFOLLOW;
    const int fd = ::open(encodedFolder.constData(), flags);
    if (fd < 0)
        return nullptr;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return nullptr;
    }
    return DirHandle(dir);
}

class TreeCollector {
public:
    TreeCollector(JobHost& host, QStringList& list, QString mask)
        : m_host(host), m_list(list), m_mask(std::move(mask)) {}

    // `folder` ends with "/".
    void collect(const QString& folder, const QByteArray& encodedFolder, bool isStart) {
        m_host.processPendingMessages();
        std::vector<Entry> files;
        std::vector<Entry> folders;
        if (!list(encodedFolder, isStart, files, folders))
            return;
        std::sort(files.begin(), files.end(), listingOrder);
        std::sort(folders.begin(), folders.end(), listingOrder);
        for (const Entry& file : files)
            m_list.append(folder + file.name);
        for (const Entry& sub : folders)
            collect(folder + sub.name + QLatin1Char('/'), encodedFolder + sub.encoded + '/', false);
    }

private:
    bool list(const QByteArray& encodedFolder, bool isStart, std::vector<Entry>& files,
              std::vector<Entry>& folders) {
        DirHandle dir = openFolder(encodedFolder, isStart);
        if (!dir)
            return false;
        const int dirFd = ::dirfd(dir.get());
        while (const dirent* entry = ::readdir(dir.get())) {
            const char* raw = entry->d_name;
            if (raw[0] == '.' && (raw[1] == '\0' || (raw[1] == '.' && raw[2] == '\0')))
                continue;
            const unsigned char type = entryType(dirFd, entry);
            if (type == DT_REG)
                addFile(raw, files);
            else if (type == DT_DIR && raw[0] != '.')
                addFolder(raw, folders);
        }
        return true;
    }

    void addFile(const char* raw, std::vector<Entry>& files) {
        const QByteArray encoded(raw);
        QString name = QFile::decodeName(encoded);
        if (!MaskMatches(m_mask, name) || !IsFaithfulFileName(encoded))
            return;
        files.push_back({std::move(name), encoded});
    }

    void addFolder(const char* raw, std::vector<Entry>& folders) {
        const QByteArray encoded(raw);
        if (!IsFaithfulFileName(encoded))
            return;
        folders.push_back({QFile::decodeName(encoded), encoded});
    }

    JobHost& m_host;
    QStringList& m_list;
    const QString m_mask;
};

} // namespace

bool MaskMatches(QStringView mask, QStringView name) {
    return matchFolded(mask, name);
}

void CollectFilesRecursive(JobHost& host, QStringList& list, const QString& maskPath) {
    const qsizetype slash = maskPath.lastIndexOf(QLatin1Char('/'));
    if (slash < 0 || !maskPath.startsWith(QLatin1Char('/'))) {
        host.processPendingMessages();
        return; // a mask without an absolute folder names nothing
    }
    const QString folder = maskPath.left(slash + 1);
    const QString mask = maskPath.mid(slash + 1);
    TreeCollector(host, list, mask).collect(folder, QFile::encodeName(folder), true);
}

void CollectSelectedFiles(JobHost& host, QStringList& list) {
    list.clear();
    const QStringList selected = host.selectedFiles();
    for (const QString& path : selected) {
        if (QFile::decodeName(QFile::encodeName(path)) != path)
            continue;
        if (QFileInfo(path).isDir())
            continue;
        list.append(path);
    }
}
