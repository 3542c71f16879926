#include "engine/recycled_temporaries.h"

#include "base/temporary_file.h"

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Open files kept; more rarely find a use, as the largest are given up first.
constexpr std::size_t kMostFiles = 128;
// Removing a file mostly waits for the disk; several overlap those waits.
constexpr std::size_t kRemovers = 4;

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
        while (m_removers.size() < std::min(kRemovers, m_givenUp.size()))
            m_removers.emplace_back([this] { removeGivenUp(); });
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
        m_givenUp.push_back(std::move(m_kept.back()));
        m_kept.pop_back();
        if (m_removers.empty())
            m_removers.emplace_back([this] { removeGivenUp(); });
    }
    m_wake.notify_one();
}

FileDescriptor RecycledTemporaries::take(dev_t device, const QByteArray& folder, std::int64_t size,
                                         QByteArray& name) {
    for (;;) {
        File file;
        {
            const std::lock_guard lock(m_mutex);
            auto fit = std::upper_bound(m_kept.begin(), m_kept.end(), size,
                                        [](std::int64_t s, const File& f) { return s < f.size; });
            while (fit != m_kept.begin() && std::prev(fit)->device != device)
                --fit;
            if (fit == m_kept.begin())
                return FileDescriptor();
            file = std::move(*std::prev(fit));
            m_kept.erase(std::prev(fit));
        }
        // Still linked once (nobody removed it meanwhile), as long as it
        // was, at its start, and movable into the folder.
        struct stat info {};
        bool usable = ::fstat(file.fd.get(), &info) == 0 && info.st_nlink == 1 &&
                      info.st_size == file.size && ::lseek(file.fd.get(), 0, SEEK_SET) == 0;
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
