#pragma once
// The end-of-image test of the defect scan. It looks only at the last quarter
// of a file: the file is sound when the pair 0xFF 0xD9 starts at an offset p
// with R < p <= n - 2, where n is the length and R = n * 0.75 rounded to the
// nearest integer, halves to the even neighbour. 25 bytes or fewer are
// defective whatever they hold.

#include <QString>

#include <cstdint>

class FolderCache;

// R for a file of n bytes: n * 0.75 rounded half to even, in integers.
std::int64_t DefectSearchLimit(std::int64_t n);

// The test's answer for one file, or why there is none.
struct DefectTestResult {
    bool readable = false;
    bool defective = false;
    QString failure; // when not readable: what went wrong, in the current language
};

// Tests the file, opening it relative to its folder through `folders` (which
// keeps the last folder open for the next file). Reads the last bytes first
// and the rest of the quarter in large blocks from the end only when needed.
DefectTestResult TestDefectiveJpeg(const QString& path, FolderCache& folders);

// True for a defective file. Throws KelvastoError when the file cannot be
// opened or read, or is not a regular file.
bool IsDefectiveJpeg(const QString& path);
