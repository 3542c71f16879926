#include "engine/file_collection.h"

#include "engine/job_host.h"
#include "engine/path_utils.h"
#include "i18n/own_texts.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
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

bool isAscii(const char* raw, qsizetype& length) {
    qsizetype i = 0;
    bool ascii = true;
    for (; raw[i] != '\0'; ++i)
        ascii &= static_cast<unsigned char>(raw[i]) < 0x80;
    length = i;
    return ascii;
}

// A mask prepared once per walk; plain-ASCII masks and names (nearly all of
// them) are matched on the raw bytes without decoding the name first.
struct Mask {
    QString text;
    QString asciiFolded; // empty when the mask is not plain ASCII
    bool ascii = false;

    explicit Mask(const QString& mask) : text(mask) {
        ascii = !mask.isEmpty();
        for (QChar c : mask)
            ascii &= c.unicode() < 0x80;
        if (ascii)
            asciiFolded = mask.toLower();
    }
};

class TreeCollector {
public:
    TreeCollector(JobHost& host, QStringList& list, const QStringList& masks)
        : m_host(host), m_list(list) {
        for (const QString& mask : masks)
            m_masks.emplace_back(mask);
        m_found.resize(m_masks.size());
    }

    // `folder` ends with "/".
    void collect(const QString& folder, const QByteArray& encodedFolder, bool isStart) {
        m_host.processPendingMessages();
        std::vector<std::vector<Entry>> files(m_masks.size());
        std::vector<Entry> folders;
        if (!list(encodedFolder, isStart, files, folders))
            return;
        for (std::size_t k = 0; k < files.size(); ++k) {
            std::sort(files[k].begin(), files[k].end(), listingOrder);
            // The first mask's files go straight into the work list so the
            // watcher sees it grow; the others follow at the end.
            QStringList& target = k == 0 ? m_list : m_found[k];
            for (const Entry& file : files[k])
                target.append(folder + file.name);
        }
        std::sort(folders.begin(), folders.end(), listingOrder);
        for (const Entry& sub : folders)
            collect(folder + sub.name + QLatin1Char('/'), encodedFolder + sub.encoded + '/', false);
    }

    // Behind the first mask's files: all of the second, then the third, ...
    void appendRemaining() {
        for (std::size_t k = 1; k < m_found.size(); ++k)
            m_list.append(m_found[k]);
    }

private:
    bool list(const QByteArray& encodedFolder, bool isStart, std::vector<std::vector<Entry>>& files,
              std::vector<Entry>& folders) {
        DirHandle dir = openFolder(encodedFolder, isStart);
        if (!dir) {
            const int error = errno;
            m_host.reportSkipped(QFile::decodeName(encodedFolder),
                                 OwnText("skip.unlistable") + QStringLiteral(": ") +
                                     QString::fromLocal8Bit(std::strerror(error)));
            return false;
        }
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

    void addFile(const char* raw, std::vector<std::vector<Entry>>& files) {
        qsizetype length = 0;
        const bool ascii = isAscii(raw, length);
        QString name;
        QByteArray encoded;
        for (std::size_t k = 0; k < m_masks.size(); ++k) {
            const Mask& mask = m_masks[k];
            bool matches = false;
            if (ascii && mask.ascii) {
                matches = matchAsciiBytes(mask.asciiFolded, raw, length);
            } else {
                if (name.isNull())
                    name = QFile::decodeName(QByteArray(raw, length));
                matches = MaskMatches(mask.text, name);
            }
            if (!matches)
                continue;
            if (encoded.isNull()) {
                encoded = QByteArray(raw, length);
                if (!ascii && !IsFaithfulFileName(encoded))
                    return;
                if (name.isNull())
                    name = ascii ? QString::fromLatin1(encoded) : QFile::decodeName(encoded);
            }
            files[k].push_back({name, encoded});
        }
    }

    void addFolder(const char* raw, std::vector<Entry>& folders) {
        qsizetype length = 0;
        const bool ascii = isAscii(raw, length);
        const QByteArray encoded(raw, length);
        if (!ascii && !IsFaithfulFileName(encoded))
            return;
        folders.push_back(
            {ascii ? QString::fromLatin1(encoded) : QFile::decodeName(encoded), encoded});
    }

    // The byte-level twin of matchFolded for plain ASCII.
    static bool matchAsciiBytes(const QString& mask, const char* name, qsizetype length) {
        qsizetype m = 0, n = 0, starMask = -1, starName = 0;
        const qsizetype maskSize = mask.size();
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; };
        while (n < length) {
            const char mc = m < maskSize ? char(mask[m].unicode()) : '\0';
            if (m < maskSize && mc == '*') {
                starMask = m++;
                starName = n;
            } else if (m < maskSize && (mc == '?' || mc == lower(name[n]))) {
                ++m;
                ++n;
            } else if (starMask >= 0) {
                m = starMask + 1;
                n = ++starName;
            } else {
                return false;
            }
        }
        while (m < maskSize && mask[m] == QLatin1Char('*'))
            ++m;
        return m == maskSize;
    }

    JobHost& m_host;
    QStringList& m_list;
    std::vector<Mask> m_masks;
    std::vector<QStringList> m_found;
};

// Splits "folder/mask" into its folder (with "/") and its mask; false for a
// mask without an absolute folder.
bool splitMaskPath(const QString& maskPath, QString& folder, QString& mask) {
    const qsizetype slash = maskPath.lastIndexOf(QLatin1Char('/'));
    if (slash < 0 || !maskPath.startsWith(QLatin1Char('/')))
        return false;
    folder = maskPath.left(slash + 1);
    mask = maskPath.mid(slash + 1);
    return true;
}

} // namespace

bool MaskMatches(QStringView mask, QStringView name) {
    return matchFolded(mask, name);
}

void CollectFilesRecursive(JobHost& host, QStringList& list, const QString& maskPath) {
    QString folder, mask;
    if (!splitMaskPath(maskPath, folder, mask)) {
        host.processPendingMessages();
        return; // names nothing
    }
    CollectFilesRecursive(host, list, folder, QStringList{mask});
}

void CollectFilesRecursive(JobHost& host, QStringList& list, const QString& folder,
                           const QStringList& masks) {
    if (!folder.startsWith(QLatin1Char('/'))) {
        host.processPendingMessages();
        return;
    }
    const QString start = AddTrailingBackslash(folder);
    TreeCollector collector(host, list, masks);
    collector.collect(start, QFile::encodeName(start), true);
    collector.appendRemaining();
}

void CollectJpegFilesRecursive(JobHost& host, QStringList& list, const QString& folder) {
    CollectFilesRecursive(host, list, folder, {QStringLiteral("*.jpg"), QStringLiteral("*.jpeg")});
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
