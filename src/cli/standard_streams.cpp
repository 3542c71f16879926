#include "cli/standard_streams.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {

bool g_stdoutClosed = false;
bool g_stdoutFailed = false;

bool isOpen(int fd) {
    return ::fcntl(fd, F_GETFD) != -1 || errno != EBADF;
}

bool writeAll(std::FILE* stream, const QByteArray& bytes) {
    const std::size_t size = std::size_t(bytes.size());
    const bool written = std::fwrite(bytes.constData(), 1, size, stream) == size;
    return std::fflush(stream) == 0 && written;
}

} // namespace

void ReserveStandardStreams() {
    // open() takes the lowest free descriptor, so going upwards fills each
    // gap with /dev/null.
    for (int fd = 0; fd <= 2; ++fd) {
        if (isOpen(fd))
            continue;
        if (fd == STDOUT_FILENO)
            g_stdoutClosed = true;
        ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    }
}

void WriteStandardOutput(const QByteArray& bytes) {
    if (g_stdoutClosed || !writeAll(stdout, bytes))
        g_stdoutFailed = true;
}

void WriteStandardError(const QByteArray& bytes) {
    writeAll(stderr, bytes); // nowhere left to report a failing stderr
}

bool StandardOutputFailed() {
    return g_stdoutFailed;
}
