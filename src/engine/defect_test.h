#pragma once
// The end-of-image test of the defect scan. It looks only at the last quarter
// of a file: the file is sound when the pair 0xFF 0xD9 starts at an offset p
// with R < p <= n - 2, where n is the length and R = n * 0.75 rounded to the
// nearest integer, halves to the even neighbour. 25 bytes or fewer are
// defective whatever they hold.

#include <QString>

#include <cstdint>

// R for a file of n bytes: n * 0.75 rounded half to even, in integers.
std::int64_t DefectSearchLimit(std::int64_t n);

// True for a defective file. Reads the last quarter in large blocks from the
// end. Throws KelvastoError when the file cannot be opened or read, or is not
// a regular file.
bool IsDefectiveJpeg(const QString& path);
