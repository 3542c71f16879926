#pragma once
// Replaced files kept for reuse as temporary files. A rename that exchanges
// a new file with the one it replaces leaves the old one under the temporary
// name; emptied, it takes the next file's content. That spares the file
// system creating one file and freeing another per replacement, which costs
// more than writing the file (ext4 without a journal searches past every file
// freed in the last minute for each new one, so a long run would slow down
// file by file). Emptying a file may wait for the disk (discarding its
// blocks), so other threads do it while the caller writes.
//
// The files stay open, and so locked against another run's sweep of
// leftovers (base/temporary_file.h); whatever is left when this object goes
// is removed.

#include "base/file_descriptor.h"

#include <QByteArray>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include <sys/types.h>

class RecycledTemporaries {
public:
    RecycledTemporaries() = default;
    ~RecycledTemporaries();
    RecycledTemporaries(const RecycledTemporaries&) = delete;
    RecycledTemporaries& operator=(const RecycledTemporaries&) = delete;

    // Takes the file `name` (open as `fd`, written to no other name, owned by
    // this process) for reuse; refuses it (and removes it) when enough wait.
    void give(const QByteArray& name, FileDescriptor fd, dev_t device);

    // An empty file moved to a new temporary name in `folder` (a path ending
    // in "/", or empty for the current folder) on `device`, open for writing
    // at its start; an invalid descriptor when none is left. Waits a little
    // for one being emptied.
    FileDescriptor take(dev_t device, const QByteArray& folder, QByteArray& name);

private:
    struct File {
        QByteArray name;
        FileDescriptor fd;
        dev_t device = 0;
    };
    void empty();

    std::mutex m_mutex;
    std::condition_variable m_wake;    // for the emptiers: work, or stop
    std::condition_variable m_emptied; // for take(): a file is ready
    std::deque<File> m_full;           // to be emptied
    std::deque<File> m_ready;          // emptied
    int m_emptying = 0;                // files the emptiers hold
    bool m_stopping = false;
    std::vector<std::thread> m_emptiers; // started with the files given
};
