#pragma once
// Reaching files by paths of any length. The kernel refuses a path longer
// than PATH_MAX in one call; these routines walk such a path in pieces, each
// opened relative to the folder reached so far, so the depth of a tree never
// decides whether a file can be read, moved or removed.

#include "base/file_descriptor.h"

#include <QByteArray>
#include <QString>

#include <sys/types.h>

// Opens `path` (in the file system's encoding) like openat(AT_FDCWD, ...);
// -1 with errno set on failure. Components before the last are followed
// as open() follows them.
int OpenAnyLength(const QByteArray& path, int flags, mode_t mode = 0);

// The same for a path relative to the open folder `folder` (or AT_FDCWD).
int OpenAnyLengthAt(int folder, const QByteArray& path, int flags, mode_t mode = 0);

// A file named by the folder holding it (opened) and its name in there: the
// form every *at() call takes.
struct PathInFolder {
    FileDescriptor folder;
    QByteArray name;
    bool valid() const { return folder.valid() && !name.isEmpty(); }
};

// Opens the folder of `path` (read-only, or as a bare handle where it may
// not be read). Invalid for an empty path or one ending in "/".
PathInFolder OpenContainingFolder(const QString& path);

// Opens files of a list one after another relative to their folder, keeping
// the last folder open: the files of one folder follow each other in every
// work list, so each open costs a one-name lookup instead of a walk along the
// whole path.
class FolderCache {
public:
    // Opens the file `path` names with `flags`; -1 with errno on failure.
    int open(const QString& path, int flags);
    // Whether `path` names a folder (or a link to one).
    bool isFolder(const QString& path);

private:
    // The open folder of `path`, its name in there in `name`; -1 on failure.
    int folderOf(const QString& path, QStringView& name);

    QString m_folder; // with its trailing "/"
    FileDescriptor m_fd;
};
