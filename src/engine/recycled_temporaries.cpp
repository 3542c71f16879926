#include "engine/recycled_temporaries.h"

#include "base/temporary_file.h"

#include <chrono>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Open files held; a batch of rewrites needs one each.
constexpr std::size_t kMostFiles = 128;
// Emptying mostly waits for the disk; two overlap those waits.
constexpr std::size_t kEmptiers = 2;

bool isIn(const QByteArray& folder, const QByteArray& name) {
    return name.startsWith(folder) && name.indexOf('/', folder.size()) < 0;
}

} // namespace

RecycledTemporaries::~RecycledTemporaries() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    for (std::thread& emptier : m_emptiers)
        emptier.join();
    for (const auto* files : {&m_full, &m_ready})
        for (const File& file : *files)
            ::unlink(file.name.constData());
}

void RecycledTemporaries::give(const QByteArray& name, FileDescriptor fd, dev_t device) {
    {
        const std::lock_guard lock(m_mutex);
        if (m_full.size() + m_ready.size() < kMostFiles) {
            m_full.push_back({name, std::move(fd), device});
            if (m_emptiers.size() < kEmptiers)
                m_emptiers.emplace_back([this] { empty(); });
            m_wake.notify_one();
            return;
        }
    }
    ::unlink(name.constData());
}

FileDescriptor RecycledTemporaries::take(dev_t device, const QByteArray& folder, QByteArray& name) {
    // Emptying takes a moment; creating a file instead costs more.
    constexpr auto kLongestWait = std::chrono::milliseconds(2);
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_emptied.wait_for(lock, kLongestWait, [this] {
            return !m_ready.empty() || (m_full.empty() && m_emptying == 0);
        });
        if (m_ready.empty())
            break;
        File file = std::move(m_ready.front());
        m_ready.pop_front();
        lock.unlock();
        struct stat info {};
        QByteArray at = file.name; // where it is now
        // Still linked once (nobody removed it meanwhile), and movable there.
        bool usable =
            file.device == device && ::fstat(file.fd.get(), &info) == 0 && info.st_nlink == 1;
        if (usable && !isIn(folder, at)) {
            QByteArray moved;
            usable = RenameToTemporaryName(at, folder, moved);
            if (usable)
                at = moved;
        }
        if (usable) {
            name = at;
            return std::move(file.fd);
        }
        ::unlink(at.constData());
        lock.lock();
    }
    return FileDescriptor();
}

void RecycledTemporaries::empty() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_full.empty(); });
        if (m_stopping)
            return;
        File file = std::move(m_full.front());
        m_full.pop_front();
        ++m_emptying;
        lock.unlock();
        const bool emptied =
            ::ftruncate(file.fd.get(), 0) == 0 && ::lseek(file.fd.get(), 0, SEEK_SET) == 0;
        if (!emptied)
            ::unlink(file.name.constData());
        lock.lock();
        if (emptied)
            m_ready.push_back(std::move(file));
        --m_emptying;
        m_emptied.notify_one();
    }
}
