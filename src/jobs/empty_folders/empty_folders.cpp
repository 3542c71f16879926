#include "jobs/empty_folders/empty_folders.h"

#include "base/scope_exit.h"
#include "fs/file_name_bytes.h"
#include "fs/path_utils.h"
#include "i18n/catalogue.h"
#include "i18n/failure_texts.h"
#include "i18n/own_texts.h"
#include "jobs/duplicates/find_duplicates.h"
#include "jobs/framework/job_host.h"
#include "jobs/framework/job_run.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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

// One folder's entries; the error (errno) when the folder or one of its
// entries cannot be listed or measured, else 0.
int listFolder(const QByteArray& encoded, bool followLink, std::vector<Listed>& entries) {
    DirHandle dir = openFolder(encoded, followLink);
    if (!dir)
        return errno != 0 ? errno : EIO;
    const int dirFd = ::dirfd(dir.get());
    int failure = 0;
    errno = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (isDotOrDotDot(entry->d_name))
            continue;
        Listed listed{QByteArray(entry->d_name)};
        struct stat st {};
        if (entry->d_type == DT_DIR) {
            listed.folder = true;
        } else if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            failure = errno;
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
    return errno != 0 ? errno : failure;
}

// `encoded` ends with "/"; folders below it are never entered through a link.
std::optional<qint64> folderSize(const QByteArray& encoded, bool withSubfolders, bool isStart) {
    std::vector<Listed> entries;
    if (listFolder(encoded, isStart, entries) != 0)
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
    return DecodeNameLosslessly(encoded);
}

QString skipReason(const char* key, int error) {
    const QString reason = OwnText(key);
    return error == 0 ? reason : OwnText("reason.with_cause").arg(reason, SystemErrorText(error));
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
    // name that does not survive decoding. What cannot be listed, and a
    // candidate's name that cannot be worked on, is reported: the folders
    // above it stay, and the user learns why.
    std::optional<qint64> walk(const QByteArray& encoded, bool candidate, bool isStart) {
        m_host.processPendingMessages();
        const std::size_t mine = m_found.size();
        if (candidate)
            m_found.push_back({decoded(encoded), false});
        std::vector<Listed> entries;
        const int failure = listFolder(encoded, isStart, entries);
        bool known = failure == 0;
        if (!known)
            m_host.reportSkipped(decoded(encoded), skipReason("skip.folderUnreadable", failure));
        qint64 total = 0;
        for (const Listed& entry : entries) {
            if (!entry.folder) {
                total += entry.size;
                continue;
            }
            const bool faithful = IsFaithfulFileName(entry.name);
            if (candidate && !faithful && !entry.name.startsWith('.'))
                m_host.reportSkipped(decoded(encoded + entry.name + '/'),
                                     skipReason("skip.nameNotFaithful", 0));
            const bool subCandidate = candidate && !entry.name.startsWith('.') && faithful;
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

QStringList TrashEmptyFolders(JobHost& host, const QStringList& folders) {
    JobReport report(host);
    QStringList trashed;
    for (qsizetype i = folders.size() - 1; i >= 0; --i) {
        const QString& folder = folders.at(i);
        // The tree may have changed since it was measured (the question
        // waited for the user): only a folder that is empty now goes.
        if (FolderSize(folder, true) == std::optional<qint64>(0) && RecycleFile(folder))
            trashed.append(folder);
        else
            host.reportSkipped(folder, OwnText("empty_folders.skip_not_trashed"));
    }
    return trashed;
}

EmptyFolderRemoval RemoveEmptyFolders(JobHost& host, const QString& start) {
    // The window is not locked for this job, but what it leaves out is
    // listed at its end all the same.
    JobReport report(host);
    EmptyFolderRemoval removal;
    QStringList& folders = host.lists().AlteDateinamen;
    CollectEmptyFolders(host, start, folders);
    removal.found = int(folders.size());
    if (folders.isEmpty()) {
        host.showMessage(CatalogueText(CatalogueId::NoEmptyFolders), MessageKind::Information,
                         ButtonBit(DialogButton::OK));
        return removal;
    }
    const QString question = QString::number(folders.size()) +
                             CatalogueText(CatalogueId::EmptyFoldersFound) + QLatin1Char('\n') +
                             CatalogueText(CatalogueId::ReallyDeleteFolders);
    removal.confirmed = host.showMessage(question, MessageKind::Confirmation,
                                         DialogButton::Yes | DialogButton::No) == DialogResult::Yes;
    if (!removal.confirmed)
        return removal;
    {
        host.setBusyCursor(true);
        ScopeExit restoreCursor([&] { host.setBusyCursor(false); });
        removal.trashed = TrashEmptyFolders(host, folders);
    }
    host.refreshFileList();
    return removal;
}
