#include "fs/file_collection.h"

#include "fs/directory_handle.h"
#include "fs/file_name_bytes.h"
#include "fs/folder_access.h"
#include "fs/path_utils.h"
#include "i18n/failure_texts.h"
#include "i18n/own_texts.h"
#include "jobs/framework/job_host.h"

#include <QFile>

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

struct Entry {
    QString name;
    QByteArray encoded;
    bool ascii = false; // the name is plain ASCII, its bytes its characters
};

// folder + name in a string of exactly that length. A path joined with "+"
// keeps room to grow up to the next power of two, nearly twice its size:
// with a million paths held in a work list, that room was a third of a
// job's memory.
QString exactPath(const QString& folder, const QString& name) {
    QString path;
    path.reserve(folder.size() + name.size());
    path.append(folder);
    path.append(name);
    return path;
}

// Case folding of plain ASCII, as QString folds those characters.
char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
}

int compareAsciiIgnoringCase(const QByteArray& a, const QByteArray& b) {
    const auto lower = [](char c) { return uchar(asciiLower(c)); };
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i)
        if (lower(a[i]) != lower(b[i]))
            return lower(a[i]) < lower(b[i]) ? -1 : 1;
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// Listing order: by name ignoring case, equal names in byte order. Sorting
// compares each name many times; plain ASCII names, nearly all of them,
// skip the general case folding.
bool listingOrder(const Entry& a, const Entry& b) {
    const int c = a.ascii && b.ascii ? compareAsciiIgnoringCase(a.encoded, b.encoded)
                                     : a.name.compare(b.name, Qt::CaseInsensitive);
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

// The levels that keep their folder open for their sub-folders: all of the
// first ones, then one in so many. Below a closed level a folder is opened
// by its way from the nearest open folder above (in pieces, so its length
// does not matter): a very deep tree neither uses up the descriptors nor
// walks its whole path for each folder.
constexpr int kOpenLevels = 64;
constexpr int kOpenEvery = 64;

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

DirHandle adoptFolder(int fd) {
    return fd < 0 ? nullptr : AdoptFolderDescriptor(fd);
}

// Opens a folder without following a link in its last component, so a
// folder swapped for a link between listing and opening is not entered.
DirHandle openFolder(const QByteArray& encodedFolder, bool followLink) {
    return adoptFolder(OpenAnyLength(encodedFolder, kFolderFlags | (followLink ? 0 : O_NOFOLLOW)));
}

DirHandle openSubFolder(int baseFd, const QByteArray& way) {
    return adoptFolder(OpenAnyLengthAt(baseFd, way, kFolderFlags | O_NOFOLLOW));
}

QString skipReason(const char* key, int error) {
    QString reason = OwnText(key);
    if (error != 0)
        reason = OwnText("reason.with_cause").arg(reason, SystemErrorText(error));
    return reason;
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
    TreeCollector(JobHost& host, QStringList& list, const QStringList& masks, LeftOutFolder leftOut)
        : m_host(host), m_list(list), m_leftOut(std::move(leftOut)) {
        for (const QString& mask : masks)
            m_masks.emplace_back(mask);
        m_found.resize(m_masks.size());
    }

    // Walks the tree below `start` (ending with "/") depth-first, a folder's
    // own files before its sub-folders. The way down is kept on a list of its
    // own rather than on the call stack, so no depth of tree can exhaust it.
    void collect(const QString& start) {
        std::vector<Level> way;
        visit(way, start, QFile::encodeName(start), -1, QByteArray(), QByteArray());
        while (!way.empty()) {
            Level& level = way.back();
            if (level.next == level.subFolders.size()) {
                way.pop_back();
                continue;
            }
            const Entry sub = level.subFolders[level.next++];
            if (m_leftOut && m_leftOut(level.folder + sub.name + QLatin1Char('/')))
                continue;
            // From the nearest folder above that is still open.
            int baseFd = -1;
            QByteArray relative = sub.encoded;
            for (auto above = way.rbegin(); above != way.rend() && baseFd < 0; ++above) {
                if (above->dir)
                    baseFd = ::dirfd(above->dir.get());
                else
                    relative = above->name + '/' + relative;
            }
            visit(way, level.folder + sub.name + QLatin1Char('/'),
                  level.encodedFolder + sub.encoded + '/', baseFd, relative, sub.encoded);
        }
    }

    int skipped() const { return m_skipped; }

    // Behind the first mask's files: all of the second, then the third, ...
    void appendRemaining() {
        for (std::size_t k = 1; k < m_found.size(); ++k)
            m_list.append(m_found[k]);
    }

private:
    // A folder on the way down, with the sub-folders still to visit.
    struct Level {
        QString folder;           // ends with "/"
        QByteArray encodedFolder; // ends with "/"
        QByteArray name;          // its own name in its parent
        DirHandle dir;            // kept open for its sub-folders on some levels
        std::vector<Entry> subFolders;
        std::size_t next = 0;
    };

    // Lists one folder into the work lists and puts it on the way down. A
    // sub-folder is opened by its way (`relative`) from an open folder above
    // (`baseFd`); the start folder by its path.
    void visit(std::vector<Level>& way, QString folder, QByteArray encodedFolder, int baseFd,
               const QByteArray& relative, const QByteArray& name) {
        const int depth = int(way.size());
        m_host.processPendingMessages();
        DirHandle dir =
            baseFd >= 0 ? openSubFolder(baseFd, relative) : openFolder(encodedFolder, depth == 0);
        if (!dir) {
            // A start folder that does not exist holds nothing to leave out.
            if (depth > 0 || errno != ENOENT)
                skip(folder, skipReason("skip.folderUnreadable", errno));
            return;
        }
        std::vector<std::vector<Entry>> files(m_masks.size());
        std::vector<Entry> folders;
        list(dir.get(), folder, files, folders);
        for (std::size_t k = 0; k < files.size(); ++k) {
            std::sort(files[k].begin(), files[k].end(), listingOrder);
            // The first mask's files go straight into the work list so the
            // watcher sees it grow; the others follow at the end.
            QStringList& target = k == 0 ? m_list : m_found[k];
            for (const Entry& file : files[k])
                target.append(exactPath(folder, file.name));
        }
        std::sort(folders.begin(), folders.end(), listingOrder);
        if (depth >= kOpenLevels && depth % kOpenEvery != 0)
            dir.reset();
        way.push_back({std::move(folder), std::move(encodedFolder), name, std::move(dir),
                       std::move(folders), 0});
    }

    void list(DIR* dir, const QString& folder, std::vector<std::vector<Entry>>& files,
              std::vector<Entry>& folders) {
        const int dirFd = ::dirfd(dir);
        errno = 0;
        while (const dirent* entry = ::readdir(dir)) {
            const char* raw = entry->d_name;
            if (raw[0] == '.' && (raw[1] == '\0' || (raw[1] == '.' && raw[2] == '\0')))
                continue;
            const unsigned char type = entryType(dirFd, entry);
            if (type == DT_REG)
                addFile(raw, folder, files);
            else if (type == DT_DIR && raw[0] != '.')
                addFolder(raw, folder, folders);
            errno = 0;
        }
        // A listing cut short (an I/O error) must not pass for a complete one.
        if (errno != 0)
            skip(folder, skipReason("skip.folderUnreadable", errno));
    }

    void skip(const QString& path, const QString& reason) {
        ++m_skipped;
        m_host.reportSkipped(path, reason);
    }

    void addFile(const char* raw, const QString& folder, std::vector<std::vector<Entry>>& files) {
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
                if (!ascii && !IsFaithfulFileName(encoded)) {
                    skip(folder + DecodeNameLosslessly(encoded),
                         skipReason("skip.nameNotFaithful", 0));
                    return;
                }
                if (name.isNull())
                    name = ascii ? QString::fromLatin1(encoded) : QFile::decodeName(encoded);
            }
            files[k].push_back({name, encoded, ascii});
        }
    }

    void addFolder(const char* raw, const QString& folder, std::vector<Entry>& folders) {
        qsizetype length = 0;
        const bool ascii = isAscii(raw, length);
        const QByteArray encoded(raw, length);
        if (!ascii && !IsFaithfulFileName(encoded)) {
            skip(folder + DecodeNameLosslessly(encoded) + QLatin1Char('/'),
                 skipReason("skip.nameNotFaithful", 0));
            return;
        }
        folders.push_back(
            {ascii ? QString::fromLatin1(encoded) : QFile::decodeName(encoded), encoded, ascii});
    }

    // The byte-level twin of matchFolded for plain ASCII.
    static bool matchAsciiBytes(const QString& mask, const char* name, qsizetype length) {
        qsizetype m = 0, n = 0, starMask = -1, starName = 0;
        const qsizetype maskSize = mask.size();
        while (n < length) {
            const char mc = m < maskSize ? char(mask[m].unicode()) : '\0';
            if (m < maskSize && mc == '*') {
                starMask = m++;
                starName = n;
            } else if (m < maskSize && (mc == '?' || mc == asciiLower(name[n]))) {
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
    LeftOutFolder m_leftOut;
    std::vector<Mask> m_masks;
    std::vector<QStringList> m_found;
    int m_skipped = 0;
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

int CollectFilesRecursive(JobHost& host, QStringList& list, const QString& maskPath) {
    QString folder, mask;
    if (!splitMaskPath(maskPath, folder, mask)) {
        host.processPendingMessages();
        return 0; // names nothing
    }
    return CollectFilesRecursive(host, list, folder, QStringList{mask});
}

int CollectFilesRecursive(JobHost& host, QStringList& list, const QString& folder,
                          const QStringList& masks, const LeftOutFolder& leftOut) {
    if (!folder.startsWith(QLatin1Char('/'))) {
        host.processPendingMessages();
        return 0;
    }
    const QString start = AddTrailingBackslash(folder);
    TreeCollector collector(host, list, masks, leftOut);
    collector.collect(start);
    collector.appendRemaining();
    // A list grown by appending keeps up to as much room again.
    list.squeeze();
    return collector.skipped();
}

int CollectJpegFilesRecursive(JobHost& host, QStringList& list, const QString& folder,
                              const LeftOutFolder& leftOut) {
    return CollectFilesRecursive(host, list, folder,
                                 {QStringLiteral("*.jpg"), QStringLiteral("*.jpeg")}, leftOut);
}

int CollectSelectedFiles(JobHost& host, QStringList& list) {
    list.clear();
    int skipped = 0;
    const QStringList selected = host.selectedFiles();
    list.reserve(selected.size());
    // A host that has just told files from folders is taken at its word: a
    // look per file held the window up for "mark all" in a folder of a
    // hundred thousand pictures. Otherwise the selected files share their
    // folder, and each look costs a one-name lookup.
    const bool checked = host.selectedFilesChecked();
    FolderCache folders;
    for (const QString& path : selected) {
        const bool ascii =
            std::all_of(path.begin(), path.end(), [](QChar c) { return c.unicode() < 0x80; });
        if (!ascii && QFile::decodeName(QFile::encodeName(path)) != path) {
            ++skipped;
            host.reportSkipped(path, skipReason("skip.nameNotFaithful", 0));
            continue;
        }
        if (!checked && folders.isFolder(path))
            continue;
        list.append(path);
    }
    return skipped;
}
