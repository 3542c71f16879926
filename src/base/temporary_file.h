#pragma once
// The program's temporary files: every file it writes goes first to one of
// these beside its target and is renamed into place when complete, so a kill
// leaves at most such a hidden file, which a later run sweeps away.

#include "base/file_descriptor.h"

#include <QByteArray>

#include <sys/types.h>

// The name prefix of this program's temporary files.
inline constexpr char kTemporaryPrefix[] = ".kelvasto-tmp-";

// Creates a new, empty temporary file named `prefix` + kTemporaryPrefix + six
// random characters, relative to the open folder `folder` (or AT_FDCWD, with
// `prefix` the path of a folder ending in "/"), with `mode` (the umask
// applies). The file stays locked while it is open, so that
// RemoveLeftoverTemporaries of another run never takes it. Sets `name`; an
// invalid descriptor (errno set) when no file could be created.
FileDescriptor CreateTemporaryFile(int folder, const QByteArray& prefix, mode_t mode,
                                   QByteArray& name);
