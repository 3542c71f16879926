#pragma once
// A file that is about to be replaced by a rewrite of its own bytes, held from
// the moment it is read until its replacement is in place (or given up).
//
// Held means two things. It is locked (an exclusive flock on the open file,
// which works on a descriptor opened only for reading, so a file that stays as
// it is never looks written to a watcher): a second rewrite of the same file,
// by another run or another process of this program, finds it busy instead of
// reading it half-way through the first one's work. And its identity is
// recorded as it was read (device, inode, size, change and modification
// time), so that right before the rename the rewrite can tell whether the
// name still leads to exactly that file: a newer version saved over it, a
// file moved or deleted meanwhile, is never replaced by the reduced old one.
//
// A busy file may be waited for, up to a bound: once the other holder is done
// it has usually put a new file under the name, which is then opened afresh.
// A lock another program keeps for good only costs that bound, never a hang.

#include "base/file_descriptor.h"

#include <QString>

#include <chrono>

#include <sys/stat.h>

class RewriteSource {
public:
    enum class State {
        Ready,      // open for reading, locked, identity recorded
        Unreadable, // cannot be opened or described (error() tells why)
        NotRegular, // a folder, a device, a pipe, a symbolic link
        Busy,       // another rewrite holds it (still after `wait`)
    };

    RewriteSource() = default;
    // Opens `path` (no symbolic link followed) and locks it, waiting up to
    // `wait` while another rewrite holds it.
    explicit RewriteSource(const QString& path,
                           std::chrono::milliseconds wait = std::chrono::milliseconds(0));
    RewriteSource(RewriteSource&&) noexcept = default;
    RewriteSource& operator=(RewriteSource&&) noexcept = default;

    State state() const { return m_state; }
    int error() const { return m_error; } // errno of Unreadable
    const QString& path() const { return m_path; }
    int fd() const { return m_fd.get(); }
    // The file as it was when locked.
    const struct stat& info() const { return m_info; }

    // Whether the name still leads to this file, unchanged since it was read.
    bool stillInPlace() const;

private:
    bool openOnce(const QByteArray& name);

    QString m_path;
    FileDescriptor m_fd;
    struct stat m_info {};
    State m_state = State::Unreadable;
    int m_error = 0;
};

// Whether two descriptions of a file are the same file in the same state.
bool SameFileState(const struct stat& a, const struct stat& b);
