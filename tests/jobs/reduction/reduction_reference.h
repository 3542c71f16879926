#pragma once
// The reduction as plainly as it can be written, for tests to compare with:
// the whole file in memory, the marker walk from the start for every search,
// a real cut after every hit.

#include "jobs/reduction/jpeg_reduction.h"

#include <QByteArray>

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <functional>

namespace reference {

struct Hit {
    qint64 position = -1; // -1: no hit
    int length = 0;
};

inline bool isRestart(uchar code) {
    return code >= 0xD0 && code <= 0xD7;
}

// The first marker with a wanted code that the structure from SOI puts
// before `window`.
inline Hit firstHit(const QByteArray& bytes, const std::function<bool(uchar)>& wanted,
                    qint64 window) {
    const qint64 n = bytes.size();
    const auto at = [&](qint64 i) { return uchar(bytes[i]); };
    if (n < 2 || at(0) != 0xFF || at(1) != 0xD8)
        return {};
    qint64 p = 2;
    bool entropy = false;
    for (;;) {
        qint64 q = -1; // the code byte of the next marker
        if (entropy) {
            while (p < n) {
                if (at(p) != 0xFF) {
                    ++p;
                    continue;
                }
                qint64 r = p;
                while (r < n && at(r) == 0xFF)
                    ++r;
                if (r >= n)
                    return {};
                if (at(r) == 0x00 || isRestart(at(r))) {
                    p = r + 1;
                    continue;
                }
                q = r;
                break;
            }
            if (q < 0)
                return {};
        } else {
            if (p >= n || at(p) != 0xFF)
                return {};
            q = p;
            while (q < n && at(q) == 0xFF)
                ++q;
            if (q >= n)
                return {};
        }
        const qint64 marker = q - 1;
        const uchar code = at(q);
        if (marker >= window)
            return {};
        if (code == 0xD8 || code == 0xD9 || (code < 0xC0 && code != 0x01))
            return {};
        if (isRestart(code) || code == 0x01) {
            p = q + 1;
            entropy = false;
            continue;
        }
        if (q + 2 >= n)
            return {};
        const int length = (at(q + 1) << 8) | at(q + 2);
        if (length < 2)
            return {};
        if (wanted(code))
            return {marker, length};
        p = marker + 2 + length;
        if (p > n)
            return {};
        entropy = code == 0xDA;
    }
}

inline qint64 removeSegments(QByteArray& bytes, const std::function<bool(uchar)>& wanted,
                             int maxCuts) {
    qint64 removed = 0;
    for (int cuts = 0; cuts < maxCuts; ++cuts) {
        const Hit hit = firstHit(bytes, wanted, bytes.size() / 20);
        if (hit.position < 0 || hit.position + 2 + hit.length > bytes.size())
            break;
        bytes.remove(hit.position, hit.length + 2);
        removed += hit.length + 2;
    }
    return removed;
}

inline bool isProgramSegment(uchar code) {
    return code == 0xE1 || code == 0xE2 || code == 0xEC || code == 0xED || code == 0xEE;
}

inline qint64 removeTrailing(QByteArray& bytes) {
    const qint64 n = bytes.size();
    if (n <= 25)
        return 0;
    // n * 0.75 rounded half to even (the default rounding mode).
    std::fesetround(FE_TONEAREST);
    const qint64 r = qint64(std::nearbyint(double(n) * 0.75));
    for (qint64 p = n - 2; p >= r; --p)
        if (uchar(bytes[p]) == 0xFF && uchar(bytes[p + 1]) == 0xD9) {
            bytes.truncate(p + 2);
            return n - p - 2;
        }
    return 0;
}

// All chosen removals in their order; returns the bytes saved.
inline qint64 reduce(QByteArray& bytes, const ReductionOptions& options) {
    qint64 saved = 0;
    if (options.programSegments)
        saved += removeSegments(bytes, isProgramSegment, 1 << 30);
    if (options.comment)
        saved += removeSegments(
            bytes, [](uchar code) { return code == 0xFE; }, 1);
    if (options.trailingData)
        saved += removeTrailing(bytes);
    return saved;
}

} // namespace reference
