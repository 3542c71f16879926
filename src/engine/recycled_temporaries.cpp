#include "engine/recycled_temporaries.h"

#include "base/temporary_file.h"

#include <chrono>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Open files held; a batch of rewrites needs one each.
constexpr std::size_t kMostFiles = 128;

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
    if (m_emptier.joinable())
        m_emptier.join();
    for (const auto* files : {&m_full, &m_ready})
        for (const File& file : *files)
            ::unlink(file.name.constData());
}

void RecycledTemporaries::give(const QByteArray& name, FileDescriptor fd, dev_t device) {
    {
        const std::lock_guard lock(m_mutex);
        if (m_full.size() + m_ready.size() < kMostFiles) {
            m_full.push_back({name, std::move(fd), device});
            if (!m_emptier.joinable())
                m_emptier = std::thread([this] { empty(); });
            m_wake.notify_one();
            return;
        }
    }
    ::unlink(name.constData());
}

FileDescriptor RecycledTemporaries::take(dev_t device, const QByteArray& folder, QByteArray& name) {
    // Emptying takes a moment; creating a file instead costs more.
    constexpr auto kLongestWait = std::chrono::milliseconds(20);
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_emptied.wait_for(lock, kLongestWait,
                           [this] { return !m_ready.empty() || (m_full.empty() && !m_emptying); });
        if (m_ready.empty())
            break;
        File file = std::move(m_ready.front());
        m_ready.pop_front();
        lock.unlock();
        struct stat info {};
        QByteArray moved = file.name;
        // Still linked once (nobody removed it meanwhile), and movable there.
        if (file.device == device && ::fstat(file.fd.get(), &info) == 0 && info.st_nlink == 1 &&
            (isIn(folder, file.name) || RenameToTemporaryName(file.name, folder, moved))) {
            name = moved;
            return std::move(file.fd);
        }
        ::unlink(moved.constData());
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
        m_emptying = true;
        lock.unlock();
        const bool emptied =
            ::ftruncate(file.fd.get(), 0) == 0 && ::lseek(file.fd.get(), 0, SEEK_SET) == 0;
        if (!emptied)
            ::unlink(file.name.constData());
        lock.lock();
        if (emptied)
            m_ready.push_back(std::move(file));
        m_emptying = false;
        m_emptied.notify_one();
    }
}
