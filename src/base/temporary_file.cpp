#include "base/temporary_file.h"

#include <QRandomGenerator>

#include <cerrno>

#include <cstdio>

#include <fcntl.h>
#include <sys/file.h>

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
    FileDescriptor fd;
    for (int attempt = 0; attempt < 100 && !fd.valid(); ++attempt) {
        name = prefix + kTemporaryPrefix + randomPart();
        fd.reset(::openat(folder, name.constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode));
        if (!fd.valid() && errno != EEXIST)
            break;
    }
    if (fd.valid())
        ::flock(fd.get(), LOCK_EX | LOCK_NB);
    return fd;
}
