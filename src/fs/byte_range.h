#pragma once
// A half-open range of byte offsets in a file, as the rewrites take them.

#include <cstdint>

// [begin, end).
struct ByteRange {
    std::int64_t begin = 0;
    std::int64_t end = 0;
    std::int64_t size() const { return end - begin; }
    bool operator==(const ByteRange&) const = default;
};
