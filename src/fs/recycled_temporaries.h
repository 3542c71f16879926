#pragma once
// Replaced files kept for reuse as temporary files. A rename that exchanges
// a new file with the one it replaces leaves the old one under the temporary
// name; a later file is written over it. That spares the file system
// creating one file and freeing another per replacement, which costs more
// than writing the file: ext4 without a journal searches past every file
// freed in the last minute for each new one, and on a disk mounted with
// `discard` every freed block waits for the disk. The longest kept file no
// longer than the new one is taken, so it frees no block. When none is that
// short, a new file is created, unless the files given up are waiting to be
// removed: then the shortest longer one is cut to the new length first,
// freeing only its tail. Written over from its start by its whole length, a
// reused file keeps none of its old bytes.
//
// Its blocks are not new, so a file system that orders a file's new blocks
// before a rename does not order these: the caller waits for the data to be
// written before it puts such a file in place (fs/file_rewrite.h).
//
// The files stay open, and so locked against another run's sweep of
// leftovers (base/temporary_file.h); those given up, and whatever is left
// when this object goes, are removed on threads of their own, since removing
// one may wait for the disk. Each holds a descriptor, so few are kept, and
// when too many wait for removal the giver removes one itself.

#include "base/file_descriptor.h"

#include <QByteArray>

#include <condition_variable>
#include <cstdint>
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

    // Takes the file `name` (open as `fd`, `size` bytes long, written to no
    // other name, owned by this process) for reuse. When too many are kept,
    // the longest is given up.
    void give(const QByteArray& name, FileDescriptor fd, dev_t device, std::int64_t size);

    // A file kept on `device`, `size` bytes long or shorter (see above),
    // moved to a new temporary name in `folder` (a path ending in "/", or
    // empty for the current folder), open for writing at its start; an
    // invalid descriptor when none is kept there.
    FileDescriptor take(dev_t device, const QByteArray& folder, std::int64_t size,
                        QByteArray& name);

private:
    struct File {
        QByteArray name;
        FileDescriptor fd;
        dev_t device = 0;
        std::int64_t size = 0;
    };
    void startRemovers();
    File pick(dev_t device, std::int64_t size);
    void remove(File file);
    void removeGivenUp();

    std::mutex m_mutex;
    std::vector<File> m_kept;       // by size, smallest first
    std::condition_variable m_wake; // for the removers: work, or stop
    std::deque<File> m_givenUp;     // to be removed
    bool m_stopping = false;
    std::vector<std::thread> m_removers; // started with the first file given up
};
