#include "fs/rewrite_source.h"

#include <QFile>

#include <cerrno>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>

namespace {

// How often a busy file is looked at again while waiting for it.
constexpr std::chrono::milliseconds kBusyPoll(4);
// A holder that let go has usually put a new file under the name; so many
// times it is opened afresh before the last one read is taken as it is.
constexpr int kReopenRounds = 3;

bool sameTime(const struct timespec& a, const struct timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

} // namespace

bool SameFileState(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           sameTime(a.st_ctim, b.st_ctim) && sameTime(a.st_mtim, b.st_mtim);
}

RewriteSource::RewriteSource(const QString& path, std::chrono::milliseconds wait) : m_path(path) {
    const QByteArray name = QFile::encodeName(path);
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (int round = 0; round < kReopenRounds; ++round) {
        if (!openOnce(name))
            return;
        for (;;) {
            if (::flock(m_fd.get(), LOCK_EX | LOCK_NB) == 0)
                break;
            if (errno == EINTR)
                continue;
            // Where the file system has no such locks (NFS emulates them
            // with record locks, which want a descriptor open for writing),
            // the identity check before the rename is the only guard left.
            if (errno != EWOULDBLOCK)
                break;
            if (std::chrono::steady_clock::now() >= deadline) {
                m_state = State::Busy;
                return;
            }
            std::this_thread::sleep_for(kBusyPoll);
        }
        // Described after the lock: what another rewrite did before it let go
        // is part of the file as this one reads it.
        if (::fstat(m_fd.get(), &m_info) != 0) {
            m_error = errno;
            m_state = State::Unreadable;
            return;
        }
        struct stat now {};
        if (::lstat(name.constData(), &now) != 0 || now.st_dev != m_info.st_dev ||
            now.st_ino != m_info.st_ino)
            continue; // replaced while it was opened or waited for: take the new one
        break;
    }
    m_state = State::Ready;
}

bool RewriteSource::openOnce(const QByteArray& name) {
    // O_NONBLOCK: a FIFO handed in by name must not hang the job.
    m_fd.reset(::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY));
    if (!m_fd.valid()) {
        m_error = errno;
        m_state = m_error == ELOOP ? State::NotRegular : State::Unreadable;
        return false;
    }
    if (::fstat(m_fd.get(), &m_info) != 0) {
        m_error = errno;
        m_state = State::Unreadable;
        return false;
    }
    if (!S_ISREG(m_info.st_mode)) {
        m_state = State::NotRegular;
        return false;
    }
    return true;
}

bool RewriteSource::stillInPlace() const {
    struct stat now {};
    return m_state == State::Ready && ::lstat(QFile::encodeName(m_path).constData(), &now) == 0 &&
           SameFileState(now, m_info);
}
