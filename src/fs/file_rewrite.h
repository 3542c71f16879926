#pragma once
// Replaces files by a selection of their own bytes without ever leaving one
// half-written, and without ever replacing anything but the very file that
// was read: the new content goes to a new temporary file in the same folder
// and is renamed over the file in one step. A process killed at any moment
// leaves the old file or the new one, never a mix; at worst one of the
// program's hidden temporary files (fs/file_ops.h) remains beside it, which
// the next rewrite in that folder removes.
//
// The file read is held (fs/rewrite_source.h) from the read until the rename:
// locked against a second rewrite of it, and checked right before the rename
// to be still the file that was read, unchanged; if it is not (a newer
// version saved over it, moved, deleted), it is left as it stands and its
// rewrite is reported as changed.
//
// The replaced file itself is never written again: whoever has it open (a
// viewer, a backup, the file list's thumbnailer) keeps reading its old bytes.
//
// On file systems that put a file's data on disk before a rename that
// replaces another with it (fs/rename_order.h) the rename follows at once;
// everywhere else the new file's data is flushed (fdatasync) before it is
// put in place, so a power cut cannot leave an empty file under the old name.

#include "base/file_descriptor.h"
#include "fs/byte_range.h"
#include "fs/file_ops.h"
#include "fs/rewrite_source.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

// A file written beside its target and not yet in place. Its temporary file
// goes with it unless it is put in place, and the target is held until then.
struct StagedFile {
    StagedFile() = default;
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    const QString& path() const { return source.path(); }

    RewriteSource source; // the file to replace, as it was read
    QByteArray target;
    QByteArray temporary; // empty once it is no longer ours to remove
    FileDescriptor fd;
    std::int64_t size = 0;
};

enum class RewriteOutcome {
    Replaced, // the new file is in place
    Changed,  // the file was no longer the one read: left as it stands
    Failed,   // could not be put in place: the old file stays
};

struct CommittedFile {
    QString path;
    RewriteOutcome outcome = RewriteOutcome::Failed;
};

class StagedRewrites {
public:
    StagedRewrites() = default;
    StagedRewrites(const StagedRewrites&) = delete;
    StagedRewrites& operator=(const StagedRewrites&) = delete;

    // Writes the `ranges` of the held file `source` in order into a new
    // temporary file beside it, with its permission bits (read/write/execute)
    // and, where the system allows, its owner and group; flushes it where the
    // file system needs that (see above). Null when that failed; then nothing
    // is left behind and the source is let go. May run on another thread than
    // the rest, and on several at once.
    std::unique_ptr<StagedFile> prepare(RewriteSource source, const std::vector<ByteRange>& ranges);
    // Adds a prepared file to those the next commit puts in place.
    void add(std::unique_ptr<StagedFile> staged);
    bool contains(const QString& path) const;
    std::size_t size() const { return m_staged.size(); }

    // Puts every staged file in place, in the order staged, each only if its
    // target is still the file that was read; tells for each how it went.
    std::vector<CommittedFile> commit();

private:
    RewriteOutcome replace(StagedFile& staged);
    // Whether the file system of `device` (holding `fd`) orders a replacing
    // rename after the data; asked once per file system and run.
    bool ordersReplacingRename(dev_t device, int fd);

    std::vector<std::unique_ptr<StagedFile>> m_staged;
    std::mutex m_mutex; // for what prepare() shares: the two below
    std::vector<std::pair<dev_t, bool>> m_ordering;
    LeftoverSweeper m_sweeper;
};

// For tests: while one lives, `step` runs with the path of every staged file
// right before it is checked and put in place, as another program could act
// between a job's read and its rename.
class BeforeReplaceHook {
public:
    explicit BeforeReplaceHook(std::function<void(const QString& path)> step);
    ~BeforeReplaceHook();
    BeforeReplaceHook(const BeforeReplaceHook&) = delete;
    BeforeReplaceHook& operator=(const BeforeReplaceHook&) = delete;

private:
    std::function<void(const QString&)> m_previous;
};
