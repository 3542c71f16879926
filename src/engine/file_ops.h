#pragma once
// File operations that never replace an existing file and never leave a
// half-written one. Failures are reported by the result only: callers that
// must stay silent simply ignore it.

#include <QByteArray>
#include <QString>

// Copies a regular file to `target`, which must not exist yet (created
// exclusively). Keeps the modification time and the permission bits (not
// set-user-ID, set-group-ID or sticky). A failed
// copy removes the partial target it created, and only that. With `sync` the
// data is flushed to disk before the call returns.
bool CopyFileNoOverwrite(const QString& source, const QString& target, bool sync = false);

// Moves a file to `target` without ever replacing an existing file:
// renameat2(RENAME_NOREPLACE), or link + unlink where the file system lacks
// it; across file systems (or without hard links) a synced copy without overwrite, then the source
// is removed (if that fails the copy is removed again, so the file stays in one place).
bool MoveFileNoOverwrite(const QString& source, const QString& target);

// Creates the folder with all missing parents; true when it exists afterwards.
bool MakeFolderPath(const QString& folder);

// Replaces the whole file with `bytes` atomically: a temporary file beside
// it, then a rename over it, keeping the permission bits of the old file.
bool ReplaceFileAtomically(const QString& path, const QByteArray& bytes);

// True when both paths name one existing file (the same inode on the same
// device), whatever links or folder names lead there.
bool IsSameFile(const QString& first, const QString& second);
