#pragma once
// Whether a file was installed by Debian's package manager.
//
// dpkg records every path a package installed in <info folder>/<package>.list
// (<package>:<arch>.list for a multi-arch one). A recorded path may spell the
// file differently from how the program sees it (a folder that is a symbolic
// link, such as /bin for /usr/bin), so a recorded path counts when it names
// the same file (device and inode), not when its text matches.

#include <QString>

inline constexpr const char* kDpkgInfoFolder = "/var/lib/dpkg/info";

// The package (without its architecture) that installed `file`, or an empty
// string when none did, the file does not exist or there is no such folder.
// A `file` that is a symbolic link stands for the file it points to.
QString OwningPackage(const QString& file,
                      const QString& dpkgInfoFolder = QString::fromLatin1(kDpkgInfoFolder));
