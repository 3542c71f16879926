#pragma once
// Replaces files by a selection of their own bytes without ever leaving one
// half-written: the new content goes to a temporary file in the same folder,
// is flushed to disk, and is renamed over the file in one step. A process
// killed at any moment leaves the old file or the new one, never a mix; at
// worst one of the program's hidden temporary files (engine/file_ops.h)
// remains beside it, which the next rewrite in that folder removes.
//
// Flushing costs a disk round trip per file when done one by one, several
// times the cost of writing the file; so a job stages many files and commits
// them together: the first flush writes the whole batch (the file system
// commits its journal once), the others find nothing left to do.
//
// Where the file system can, a rename exchanges the two files instead of
// replacing one, and the old one is reused for a later file
// (engine/recycled_temporaries.h).

#include "base/file_descriptor.h"
#include "engine/file_ops.h"
#include "engine/jpeg_cut_view.h"
#include "engine/recycled_temporaries.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <utility>
#include <vector>

#include <sys/stat.h>

class StagedRewrites {
public:
    StagedRewrites() = default;
    // Removes the temporary files of whatever was not committed.
    ~StagedRewrites();
    StagedRewrites(const StagedRewrites&) = delete;
    StagedRewrites& operator=(const StagedRewrites&) = delete;

    // Writes the `ranges` of the open file `sourceFd` (described by `info`)
    // in order into a temporary file beside `path`, with the permission bits
    // (read/write/execute) of `info` and, where the system allows, its owner
    // and group. False when that failed; then nothing is left behind.
    bool stage(const QString& path, int sourceFd, const struct stat& info,
               const std::vector<ByteRange>& ranges);
    bool contains(const QString& path) const;
    std::size_t size() const { return m_staged.size(); }
    std::int64_t bytes() const { return m_bytes; }

    // Flushes every staged file to disk, then renames each over its target in
    // the order staged. Returns the targets that could not be replaced (they
    // keep their old content; their temporary files are gone).
    QStringList commit();

private:
    struct Staged {
        QString path;
        QByteArray target;
        QByteArray temporary;
        FileDescriptor fd;
        ino_t replaced = 0;   // the target's file as it was read
        bool ordered = false; // its file system writes the data before the rename
    };
    void recycle(const Staged& staged);
    bool replace(Staged& staged);
    // Whether the file system of `device` (holding `path`) orders a replacing
    // rename after the data; asked once per file system and run.
    bool ordersReplacingRename(dev_t device, const QString& path);

    std::vector<std::unique_ptr<Staged>> m_staged;
    std::vector<std::pair<dev_t, bool>> m_ordering;
    std::int64_t m_bytes = 0;
    LeftoverSweeper m_sweeper;
    RecycledTemporaries m_recycled;
};

// Stages and commits one file; false when `path` could not be replaced.
bool RewriteFileFromRanges(const QString& path, int sourceFd, const struct stat& info,
                           const std::vector<ByteRange>& ranges);
