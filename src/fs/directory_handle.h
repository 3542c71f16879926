#pragma once
// An open folder for readdir, closed with its descriptor when the handle goes.

#include <cerrno>
#include <memory>

#include <dirent.h>
#include <unistd.h>

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

// Takes over `fd`, an open folder: its handle, or none (errno set, `fd`
// closed).
inline DirHandle AdoptFolderDescriptor(int fd) {
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        const int error = errno;
        ::close(fd);
        errno = error;
    }
    return DirHandle(dir);
}
