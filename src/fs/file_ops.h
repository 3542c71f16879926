#pragma once
// File operations that never replace an existing file and never leave a
// half-written one, also when the process is killed half-way: every write
// goes to a temporary file beside the target (a hidden name beginning with
// kTemporaryPrefix), which is renamed into place only when complete. A kill
// leaves at most such a temporary file; RemoveLeftoverTemporaries clears
// them on the next run. Paths may be of any length. Failures are reported by
// the result only: callers that must stay silent simply ignore it.

#include "base/temporary_file.h"

#include <QByteArray>
#include <QSet>
#include <QString>

#include <sys/types.h>

// Copies a regular file to `target`, which must not exist yet; an existing
// target is never touched. Keeps the modification time and the permission
// bits (not set-user-ID, set-group-ID or sticky). A failed copy leaves
// nothing behind. With `sync` the data is on disk before the copy appears
// under its name.
bool CopyFileNoOverwrite(const QString& source, const QString& target, bool sync = false);

// Moves a file to `target` without ever replacing an existing file:
// renameat2(RENAME_NOREPLACE), or link + unlink where the file system lacks
// it; across file systems (or without hard links) a synced copy without
// overwrite, then the source is removed (if that fails the copy is removed
// again, so the file stays in one place).
bool MoveFileNoOverwrite(const QString& source, const QString& target);

// True when both paths name regular files of the same bytes (or the same
// file). Reads both files in full when their sizes agree.
bool SameFileContent(const QString& first, const QString& second);

// True when something (a file, folder or link) stands at the path.
bool FileExists(const QString& path);

// Removes a file (never a folder); true when it is gone.
bool RemoveFile(const QString& path);

// Removes the temporary files a killed run of this program left in `folder`
// (names beginning with kTemporaryPrefix that no running writer holds).
// Returns how many were removed.
int RemoveLeftoverTemporaries(const QString& folder);

// Clears each folder of leftover temporary files once, before the first
// write into it.
class LeftoverSweeper {
public:
    // Sweeps the folder that holds `path`, unless this sweeper did already.
    void sweep(const QString& path);

private:
    QSet<QString> m_swept;
};

// Creates the folder with all missing parents; true when it exists afterwards.
bool MakeFolderPath(const QString& folder);

// Replaces the whole file with `bytes` atomically: a temporary file beside
// it, synced, then renamed over it, keeping the permission bits of the old
// file.
bool ReplaceFileAtomically(const QString& path, const QByteArray& bytes);

// Creates the file with `bytes` the same way, but never over anything that
// stands at the path: false, with errno EEXIST, when the name is taken.
bool CreateFileAtomically(const QString& path, const QByteArray& bytes);

// True when both paths name one existing file (the same inode on the same
// device), whatever links or folder names lead there.
bool IsSameFile(const QString& first, const QString& second);
