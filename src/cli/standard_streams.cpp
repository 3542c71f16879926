#include "cli/standard_streams.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool g_stdoutClosed = false;
bool g_stdoutFailed = false;

bool isOpen(int fd) {
    return ::fcntl(fd, F_GETFD) != -1 || errno != EBADF;
}

bool writeAll(std::FILE* stream, const QByteArray& bytes, bool flush = true) {
    const std::size_t size = std::size_t(bytes.size());
    const bool written = std::fwrite(bytes.constData(), 1, size, stream) == size;
    return (!flush || std::fflush(stream) == 0) && written;
}

// A terminal or a pipe gets each line as it comes (someone may be reading
// along); a file or /dev/null takes the report in large writes, flushed at
// the end: a line per moved file would otherwise cost a system call each.
bool flushEachLine() {
    static const bool flush = [] {
        struct stat info {};
        if (::fstat(STDOUT_FILENO, &info) != 0)
            return true;
        return !(S_ISREG(info.st_mode) || (S_ISCHR(info.st_mode) && !::isatty(STDOUT_FILENO)));
    }();
    return flush;
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
    if (g_stdoutClosed || !writeAll(stdout, bytes, flushEachLine()))
        g_stdoutFailed = true;
}

void WriteStandardError(const QByteArray& bytes) {
    writeAll(stderr, bytes); // nowhere left to report a failing stderr
}

bool StandardOutputFailed() {
    if (std::fflush(stdout) != 0)
        g_stdoutFailed = true;
    return g_stdoutFailed;
}
