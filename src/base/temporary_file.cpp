#include "base/temporary_file.h"

#include <QRandomGenerator>

#include <cerrno>

#include <cstdio>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

namespace {

QByteArray randomPart() {
    static const char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray part(6, '0');
    for (char& c : part)
        c = kAlphabet[QRandomGenerator::global()->bounded(int(sizeof kAlphabet - 1))];
    return part;
}

} // namespace

FileDescriptor CreateTemporaryFile(int folder, const QByteArray& prefix, mode_t mode,
                                   QByteArray& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = prefix + kTemporaryPrefix + randomPart();
        FileDescriptor fd(::openat(folder, name.constData(),
                                   O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode));
        if (!fd.valid()) {
            if (errno != EEXIST)
                break;
            continue;
        }
        // Another run sweeping this folder may take the new file before it
        // is locked: it locks it, then removes it. Only a file this process
        // holds locked and still finds linked is its own.
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
            if (errno == EWOULDBLOCK)
                continue; // being swept: the sweep removes it
            return fd;    // no locks here (some network file systems)
        }
        struct stat info {};
        if (::fstat(fd.get(), &info) == 0 && info.st_nlink > 0)
            return fd;
    }
    return FileDescriptor();
}
