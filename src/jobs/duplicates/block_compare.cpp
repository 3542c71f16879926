#include "jobs/duplicates/block_compare.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

FileDescriptor OpenRegularFile(const QString& path, bool followLink, qint64* length) {
    int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK;
    if (!followLink)
        flags |= O_NOFOLLOW;
    FileDescriptor fd(::open(QFile::encodeName(path).constData(), flags));
    if (!fd.valid())
        return fd;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        fd.close();
        return fd;
    }
    if (length)
        *length = st.st_size;
    return fd;
}

qint64 ReadAt(int fd, char* buffer, qint64 length, qint64 offset) {
    qint64 done = 0;
    while (done < length) {
        const ssize_t got = ::pread(fd, buffer + done, size_t(length - done), off_t(offset + done));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

char* ScratchBlock(int which) {
    thread_local std::unique_ptr<char[]> blocks[2];
    std::unique_ptr<char[]>& block = blocks[which & 1];
    if (!block)
        block = std::make_unique_for_overwrite<char[]>(std::size_t(kCompareBlockSize + 1));
    return block.get();
}

namespace {

struct Candidate {
    qsizetype index;
    FileDescriptor fd;
};

// Compares `first` with one batch of opened candidates; every candidate still
// open at the end of `first` is identical.
void compareBatch(const QString& first, std::vector<Candidate>& batch, bool followLinks,
                  const std::function<bool()>& cancelled, MatchOutcome& outcome, char* firstBlock,
                  char* otherBlock) {
    qint64 length = 0;
    FileDescriptor firstFd = OpenRegularFile(first, followLinks, &length);
    if (!firstFd.valid()) {
        outcome.firstFailed = true;
        return;
    }
    // Read more than one block: ask the kernel to read ahead further.
    if (length > kCompareBlockSize) {
        ::posix_fadvise(firstFd.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
        for (const Candidate& c : batch)
            ::posix_fadvise(c.fd.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    }
    for (qint64 offset = 0; !batch.empty(); offset += kCompareBlockSize) {
        if (cancelled && cancelled()) {
            outcome.cancelled = true;
            return;
        }
        const qint64 got = ReadAt(firstFd.get(), firstBlock, kCompareBlockSize, offset);
        if (got < 0) {
            outcome.firstFailed = true;
            return;
        }
        for (std::size_t i = 0; i < batch.size();) {
            // One byte more than `first` gave tells a longer candidate apart
            // at the end of `first`.
            const qint64 want = got < kCompareBlockSize ? got + 1 : got;
            const qint64 other = ReadAt(batch[i].fd.get(), otherBlock, want, offset);
            const bool same = other == got && std::memcmp(firstBlock, otherBlock, size_t(got)) == 0;
            if (other < 0)
                outcome.failed[std::size_t(batch[i].index)] = true;
            if (same) {
                ++i;
                continue;
            }
            batch.erase(batch.begin() + std::ptrdiff_t(i));
        }
        if (got < kCompareBlockSize)
            break;
    }
    for (const Candidate& c : batch)
        outcome.identical[std::size_t(c.index)] = true;
}

} // namespace

MatchOutcome MatchFirstAgainst(const QString& first, const QStringList& candidates,
                               bool followLinks, const std::function<bool()>& cancelled) {
    MatchOutcome outcome;
    outcome.identical.assign(std::size_t(candidates.size()), false);
    outcome.failed.assign(std::size_t(candidates.size()), false);
    qsizetype next = 0;
    while (next < candidates.size() && !outcome.firstFailed && !outcome.cancelled) {
        std::vector<Candidate> batch;
        for (; next < candidates.size() && int(batch.size()) < kMaxOpenCandidates; ++next) {
            FileDescriptor fd = OpenRegularFile(candidates.at(next), followLinks);
            if (fd.valid())
                batch.push_back({next, std::move(fd)});
            else
                outcome.failed[std::size_t(next)] = true;
        }
        if (!batch.empty())
            compareBatch(first, batch, followLinks, cancelled, outcome, ScratchBlock(0),
                         ScratchBlock(1));
    }
    // A first file that failed half-way may have changed: trust no match.
    if (outcome.firstFailed || outcome.cancelled)
        outcome.identical.assign(outcome.identical.size(), false);
    return outcome;
}
