#pragma once
// Byte-wise comparison of files in fixed blocks with an early exit at the
// first differing block. Memory stays at two blocks whatever the sizes of
// the files, and a file that differs early is hardly read at all.

#include "base/file_descriptor.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// Large enough for the kernel's read-ahead to stream, small enough that a
// difference near the start costs little.
inline constexpr qint64 kCompareBlockSize = 256 * 1024;

// Candidates open at once while they are compared with one file; keeps the
// search far below the usual limit of open files however large a group is.
inline constexpr int kMaxOpenCandidates = 64;

// Opens a regular file for reading. Invalid when it cannot be opened or is
// anything but a regular file (a FIFO swapped in would block a read). With
// `followLink` false a symbolic link in the last component is refused.
// `length`, when given, receives the file's length.
FileDescriptor OpenRegularFile(const QString& path, bool followLink, qint64* length = nullptr);

// Reads up to `length` bytes at `offset`, going on after short reads. The
// number of bytes read (less than `length` only at the end of the file), or
// -1 after a read error.
qint64 ReadAt(int fd, char* buffer, qint64 length, qint64 offset);

// A block of kCompareBlockSize + 1 bytes for this thread, allocated once:
// a fresh large buffer per comparison costs more in page faults than the
// comparison of a small file itself.
char* ScratchBlock(int which);

struct MatchOutcome {
    bool firstFailed = false;    // `first` could not be opened or read
    bool cancelled = false;      // given up half-way: nothing is decided
    std::vector<bool> identical; // per candidate: the same bytes as `first`
    std::vector<bool> failed;    // per candidate: could not be opened or read
};

// Which candidates hold exactly the bytes of `first` (same length, same
// content). Reads `first` once per batch of kMaxOpenCandidates and every
// candidate at most once, block by block, dropping a candidate at its first
// difference. When `first` fails, no candidate is identical and the ones not
// yet decided are not marked failed either: nothing is known about them.
// `cancelled`, asked before each block, gives up the comparison.
MatchOutcome MatchFirstAgainst(const QString& first, const QStringList& candidates,
                               bool followLinks = false,
                               const std::function<bool()>& cancelled = {});
