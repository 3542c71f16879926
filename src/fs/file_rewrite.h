#pragma once
// Replaces files by a selection of their own bytes without ever leaving one
// half-written: the new content goes to a temporary file in the same folder,
// is flushed to disk, and is renamed over the file in one step. A process
// killed at any moment leaves the old file or the new one, never a mix; at
// worst one of the program's hidden temporary files (fs/file_ops.h)
// remains beside it, which the next rewrite in that folder removes.
//
// Flushing costs a disk round trip per file when done one by one, several
// times the cost of writing the file; so a job stages many files and commits
// them together: the first flush writes the whole batch (the file system
// commits its journal once), the others find nothing left to do.
//
// Where the file system can, a rename exchanges the two files instead of
// replacing one, and the old one is reused for a later file no smaller than
// it (fs/recycled_temporaries.h). On file systems that order a rename
// after a file's data themselves (ext4 with its journal), there is no flush:
// each file's write-out starts as soon as it is written, and the commit
// waits for it to end before the rename, which such a file system then
// orders after the data also when the blocks were written over.

#include "base/file_descriptor.h"
#include "fs/file_ops.h"
#include "fs/recycled_temporaries.h"
#include "fs/byte_range.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include <sys/stat.h>

// A file written beside its target and not yet in place. Its temporary file
// goes with it unless it is put in place.
struct StagedFile {
    StagedFile() = default;
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    QString path;
    QByteArray target;
    QByteArray temporary; // empty once it is no longer ours to remove
    FileDescriptor fd;
    ino_t replaced = 0; // the target's file as it was read
    std::int64_t size = 0;
    bool ordered = false; // its file system orders the rename after written data
};

class StagedRewrites {
public:
    StagedRewrites() = default;
    StagedRewrites(const StagedRewrites&) = delete;
    StagedRewrites& operator=(const StagedRewrites&) = delete;

    // Writes the `ranges` of the open file `sourceFd` (described by `info`)
    // in order into a temporary file beside `path`, with the permission bits
    // (read/write/execute) of `info` and, where the system allows, its owner
    // and group, and starts writing it out. Null when that failed; then
    // nothing is left behind. May run on another thread than the rest, and
    // on several at once.
    std::unique_ptr<StagedFile> prepare(const QString& path, int sourceFd, const struct stat& info,
                                        const std::vector<ByteRange>& ranges);
    // Adds a prepared file to those the next commit puts in place.
    void add(std::unique_ptr<StagedFile> staged);
    bool contains(const QString& path) const;
    std::size_t size() const { return m_staged.size(); }
    std::int64_t bytes() const { return m_bytes; }

    // Flushes every staged file to disk, then renames each over its target in
    // the order staged. Returns the targets that could not be replaced (they
    // keep their old content; their temporary files are gone).
    QStringList commit();

private:
    void recycle(StagedFile& staged);
    bool replace(StagedFile& staged);
    // Whether the file system of `device` (holding `path`) orders a replacing
    // rename after the data; asked once per file system and run.
    bool ordersReplacingRename(dev_t device, const QString& path);

    std::vector<std::unique_ptr<StagedFile>> m_staged;
    std::int64_t m_bytes = 0;
    std::mutex m_mutex; // for what prepare() shares: the two below
    std::vector<std::pair<dev_t, bool>> m_ordering;
    LeftoverSweeper m_sweeper;
    RecycledTemporaries m_recycled; // safe for threads itself
};
