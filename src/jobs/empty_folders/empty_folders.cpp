#include "jobs/empty_folders/empty_folders.h"

#include "base/scope_exit.h"
#include "fs/path_utils.h"
#include "i18n/catalogue.h"
#include "jobs/duplicates/find_duplicates.h"
#include "jobs/framework/job_host.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kFoldersFound = 9088;
constexpr int kDeleteFolders = 9089;
constexpr int kNoEmptyFolders = 9090;

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

// The start folder may be reached through a link; folders below it are never
// entered through one.
DirHandle openFolder(const QByteArray& encoded, bool followLink) {
    int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    if (!followLink)
        flags |= O_NOFOLLOW;
    const int fd = ::open(encoded.constData(), flags);
    if (fd < 0)
        return nullptr;
    DIR* dir = ::fdopendir(fd);
    if (!dir)
        ::close(fd);
    return DirHandle(dir);
}

bool isDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

struct Listed {
    QByteArray name;
    bool folder = false;
    qint64 size = 0; // what the entry itself counts; folders 0
};

// One folder's entries; false when the folder or one of its entries cannot be
// listed or measured.
bool listFolder(const QByteArray& encoded, bool followLink, std::vector<Listed>& entries) {
    DirHandle dir = openFolder(encoded, followLink);
    if (!dir)
        return false;
    const int dirFd = ::dirfd(dir.get());
    bool complete = true;
    errno = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (isDotOrDotDot(entry->d_name))
            continue;
        Listed listed{QByteArray(entry->d_name)};
        struct stat st {};
        if (entry->d_type == DT_DIR) {
            listed.folder = true;
        } else if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            complete = false;
        } else if (S_ISDIR(st.st_mode)) {
            listed.folder = true;
        } else if (S_ISREG(st.st_mode)) {
            listed.size = st.st_size;
        } else {
            // Links, FIFOs, sockets, devices: content that holds no bytes of
            // its own but must not vanish with the folder.
            listed.size = qMax<qint64>(st.st_size, 1);
        }
        entries.push_back(std::move(listed));
        errno = 0;
    }
    return complete && errno == 0;
}

// `encoded` ends with "/"; folders below it are never entered through a link.
std::optional<qint64> folderSize(const QByteArray& encoded, bool withSubfolders, bool isStart) {
    std::vector<Listed> entries;
    if (!listFolder(encoded, isStart, entries))
        return std::nullopt;
    qint64 total = 0;
    for (const Listed& entry : entries) {
        if (!entry.folder) {
            total += entry.size;
        } else if (withSubfolders) {
            const std::optional<qint64> below = folderSize(encoded + entry.name + '/', true, false);
            if (!below)
                return std::nullopt;
            total += *below;
        }
    }
    return total;
}

QString decoded(const QByteArray& encoded) {
    return QFile::decodeName(encoded);
}

// The tree walk behind CollectFolders and CollectEmptyFolders.
class FolderWalk {
public:
    struct Found {
        QString path; // with trailing "/"
        bool empty;
    };

    explicit FolderWalk(JobHost& host) : m_host(host) {}

    // The size below `encoded` (nullopt: not fully known). Candidate folders
    // are noted in found(); `candidate` false below a hidden folder or a
    // name that does not survive decoding.
    std::optional<qint64> walk(const QByteArray& encoded, bool candidate, bool isStart) {
        m_host.processPendingMessages();
        const std::size_t mine = m_found.size();
        if (candidate)
            m_found.push_back({decoded(encoded), false});
        std::vector<Listed> entries;
        bool known = listFolder(encoded, isStart, entries);
        qint64 total = 0;
        for (const Listed& entry : entries) {
            if (!entry.folder) {
                total += entry.size;
                continue;
            }
            const bool subCandidate =
                candidate && !entry.name.startsWith('.') && IsFaithfulFileName(entry.name);
            const std::optional<qint64> below =
                walk(encoded + entry.name + '/', subCandidate, false);
            if (below)
                total += *below;
            else
                known = false;
        }
        if (candidate)
            m_found[mine].empty = known && total == 0;
        return known ? std::optional<qint64>(total) : std::nullopt;
    }

    std::vector<Found>& found() { return m_found; }

private:
    JobHost& m_host;
    std::vector<Found> m_found;
};

void sortFound(std::vector<FolderWalk::Found>& found) {
    std::stable_sort(found.begin(), found.end(),
                     [](const FolderWalk::Found& a, const FolderWalk::Found& b) {
                         return DuplicatePathLess(a.path, b.path);
                     });
}

QString withoutTrailingSlash(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) && folder.size() > 1 ? folder.chopped(1) : folder;
}

} // namespace

void CollectFolders(JobHost& host, const QString& folder, QStringList& list) {
    if (folder.isEmpty())
        return;
    FolderWalk walk(host);
    walk.walk(QFile::encodeName(AddTrailingBackslash(folder)), true, true);
    for (const FolderWalk::Found& found : walk.found())
        list.append(found.path);
    std::stable_sort(list.begin(), list.end(), DuplicatePathLess);
}

std::optional<qint64> FolderSize(const QString& folder, bool withSubfolders) {
    return folderSize(QFile::encodeName(AddTrailingBackslash(folder)), withSubfolders, true);
}

void CollectEmptyFolders(JobHost& host, const QString& start, QStringList& list) {
    list.clear();
    if (start.isEmpty())
        return;
    const QString startFolder = AddTrailingBackslash(start);
    FolderWalk walk(host);
    walk.walk(QFile::encodeName(startFolder), true, true);
    std::vector<FolderWalk::Found>& found = walk.found();
    sortFound(found);
    for (const FolderWalk::Found& folder : found)
        if (folder.empty && folder.path != startFolder)
            list.append(withoutTrailingSlash(folder.path));
}

QStringList TrashEmptyFolders(const QStringList& folders) {
    QStringList notTrashed;
    for (qsizetype i = folders.size() - 1; i >= 0; --i) {
        const QString& folder = folders.at(i);
        // The tree may have changed since it was measured (the question
        // waited for the user): only a folder that is empty now goes.
        if (FolderSize(folder, true) != std::optional<qint64>(0) || !RecycleFile(folder))
            notTrashed.prepend(folder);
    }
    return notTrashed;
}

EmptyFolderRemoval RemoveEmptyFolders(JobHost& host, const QString& start) {
    EmptyFolderRemoval removal;
    QStringList& folders = host.lists().AlteDateinamen;
    CollectEmptyFolders(host, start, folders);
    removal.found = int(folders.size());
    if (folders.isEmpty()) {
        host.showMessage(CatalogueText(kNoEmptyFolders), MessageKind::Information,
                         ButtonBit(DialogButton::OK));
        return removal;
    }
    const QString question = QString::number(folders.size()) + CatalogueText(kFoldersFound) +
                             QLatin1Char('\n') + CatalogueText(kDeleteFolders);
    removal.confirmed = host.showMessage(question, MessageKind::Confirmation,
                                         DialogButton::Yes | DialogButton::No) == DialogResult::Yes;
    if (!removal.confirmed)
        return removal;
    {
        host.setBusyCursor(true);
        ScopeExit restoreCursor([&] { host.setBusyCursor(false); });
        removal.notTrashed = TrashEmptyFolders(folders);
    }
    host.refreshFileList();
    return removal;
}
