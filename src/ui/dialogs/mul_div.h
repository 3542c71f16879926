#pragma once
// Multiply-then-divide with a result rounded to the nearest integer (halves
// away from zero). The product is formed in 64 bits first, so dialog units
// computed from font sizes or screen resolutions never overflow or lose the
// fraction before the division.

#include <cstdint>
#include <cstdlib>

// a * b / c rounded to nearest; 0 when c is 0 (no sensible scale exists).
constexpr int MulDivRound(int a, int b, int c) {
    if (c == 0)
        return 0;
    const std::int64_t product = std::int64_t(a) * b;
    const std::int64_t divisor = c;
    const bool negative = (product < 0) != (divisor < 0);
    const std::int64_t p = product < 0 ? -product : product;
    const std::int64_t d = divisor < 0 ? -divisor : divisor;
    const std::int64_t q = (p + d / 2) / d;
    return int(negative ? -q : q);
}
