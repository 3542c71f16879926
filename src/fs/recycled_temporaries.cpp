#include "fs/recycled_temporaries.h"

#include "base/temporary_file.h"

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Open files kept; more rarely find a use, as the largest are given up first.
constexpr std::size_t kMostFiles = 128;
// Removing a file mostly waits for the disk; several overlap those waits.
constexpr std::size_t kRemovers = 4;
// Files waiting to be removed, each open; beyond this the giver removes.
constexpr std::size_t kMostGivenUp = 32;

bool isIn(const QByteArray& folder, const QByteArray& name) {
    return name.startsWith(folder) && name.indexOf('/', folder.size()) < 0;
}

} // namespace

RecycledTemporaries::~RecycledTemporaries() {
    {
        const std::lock_guard lock(m_mutex);
        for (File& file : m_kept)
            m_givenUp.push_back(std::move(file));
        m_kept.clear();
        m_stopping = true;
        startRemovers();
    }
    m_wake.notify_all();
    for (std::thread& remover : m_removers)
        remover.join();
}

void RecycledTemporaries::give(const QByteArray& name, FileDescriptor fd, dev_t device,
                               std::int64_t size) {
    File file{name, std::move(fd), device, size};
    {
        const std::lock_guard lock(m_mutex);
        const auto at = std::upper_bound(m_kept.begin(), m_kept.end(), size,
                                         [](std::int64_t s, const File& f) { return s < f.size; });
        m_kept.insert(at, std::move(file));
        if (m_kept.size() <= kMostFiles)
            return;
        file = std::move(m_kept.back());
        m_kept.pop_back();
        if (m_givenUp.size() < kMostGivenUp) {
            m_givenUp.push_back(std::move(file));
            startRemovers();
            m_wake.notify_one();
            return;
        }
    }
    remove(std::move(file)); // the removers are behind: each open file counts
}

// With m_mutex held: one remover per file waiting, up to kRemovers.
void RecycledTemporaries::startRemovers() {
    while (m_removers.size() < std::min(kRemovers, m_givenUp.size()))
        m_removers.emplace_back([this] { removeGivenUp(); });
}

// With m_mutex held.
RecycledTemporaries::File RecycledTemporaries::pick(dev_t device, std::int64_t size) {
    const auto longer = std::upper_bound(m_kept.begin(), m_kept.end(), size,
                                         [](std::int64_t s, const File& f) { return s < f.size; });
    auto chosen = m_kept.end();
    for (auto it = longer; it != m_kept.begin() && chosen == m_kept.end();)
        if ((--it)->device == device)
            chosen = it;
    // A new file means one more to remove later, which the removers do
    // while they keep up; once they fall behind, a longer one is cut.
    const bool cutLonger = m_givenUp.size() >= kMostGivenUp / 2;
    for (auto it = longer; cutLonger && it != m_kept.end() && chosen == m_kept.end(); ++it)
        if (it->device == device)
            chosen = it;
    if (chosen == m_kept.end())
        return File();
    File file = std::move(*chosen);
    m_kept.erase(chosen);
    return file;
}

FileDescriptor RecycledTemporaries::take(dev_t device, const QByteArray& folder, std::int64_t size,
                                         QByteArray& name) {
    for (;;) {
        File file;
        {
            const std::lock_guard lock(m_mutex);
            file = pick(device, size);
        }
        if (!file.fd.valid())
            return FileDescriptor();
        // Still linked once (nobody removed it meanwhile), as long as it
        // was, cut to the new length when longer, at its start, and movable
        // into the folder.
        struct stat info {};
        bool usable = ::fstat(file.fd.get(), &info) == 0 && info.st_nlink == 1 &&
                      info.st_size == file.size &&
                      (file.size <= size || ::ftruncate(file.fd.get(), size) == 0) &&
                      ::lseek(file.fd.get(), 0, SEEK_SET) == 0;
        if (usable && !isIn(folder, file.name)) {
            QByteArray moved;
            usable = RenameToTemporaryName(file.name, folder, moved);
            if (usable)
                file.name = moved;
        }
        if (usable) {
            name = file.name;
            return std::move(file.fd);
        }
        remove(std::move(file));
    }
}

void RecycledTemporaries::remove(File file) {
    ::unlink(file.name.constData());
    file.fd.close(); // the last reference: its blocks are freed here
}

void RecycledTemporaries::removeGivenUp() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_givenUp.empty(); });
        if (m_givenUp.empty())
            return; // stopping, and nothing left
        File file = std::move(m_givenUp.front());
        m_givenUp.pop_front();
        lock.unlock();
        remove(std::move(file));
        lock.lock();
    }
}
