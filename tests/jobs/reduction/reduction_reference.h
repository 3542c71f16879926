#pragma once
// The reduction as plainly as it can be written, for tests to compare with:
// the whole file in memory, the marker walk from the start for every search,
// a real cut after every hit.

#include "jobs/reduction/jpeg_reduction.h"

#include <QByteArray>

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

// Walks the markers from SOI as a decoder meets them and shows each marker
// with a length field, and the end marker, to `visit` (position of its 0xFF,
// code, length or -1) until `visit` returns false or the walk ends.
inline void walk(const QByteArray& bytes,
                 const std::function<bool(qint64 marker, uchar code, int length)>& visit) {
    const qint64 n = bytes.size();
    const auto at = [&](qint64 i) { return uchar(bytes[i]); };
    if (n < 2 || at(0) != 0xFF || at(1) != 0xD8)
        return;
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
                    return;
                if (at(r) == 0x00 || isRestart(at(r))) {
                    p = r + 1;
                    continue;
                }
                q = r;
                break;
            }
            if (q < 0)
                return;
        } else {
            if (p >= n || at(p) != 0xFF)
                return;
            q = p;
            while (q < n && at(q) == 0xFF)
                ++q;
            if (q >= n)
                return;
        }
        const qint64 marker = q - 1;
        const uchar code = at(q);
        if (code == 0xD9) {
            visit(marker, code, -1);
            return;
        }
        if (code == 0xD8 || (code < 0xC0 && code != 0x01))
            return;
        if (isRestart(code) || code == 0x01) {
            p = q + 1;
            entropy = false;
            continue;
        }
        if (q + 2 >= n)
            return;
        const int length = (at(q + 1) << 8) | at(q + 2);
        if (length < 2 || !visit(marker, code, length))
            return;
        p = marker + 2 + length;
        if (p > n)
            return;
        entropy = code == 0xDA;
    }
}

// The first marker with a wanted code that the structure from SOI puts
// before `window`.
inline Hit firstHit(const QByteArray& bytes, const std::function<bool(uchar)>& wanted,
                    qint64 window) {
    Hit hit;
    walk(bytes, [&](qint64 marker, uchar code, int length) {
        if (marker >= window || code == 0xD9)
            return false;
        if (!wanted(code))
            return true;
        hit = {marker, length};
        return false;
    });
    return hit;
}

// Whether the Adobe segment decides the decoded colours: an Adobe APP14
// before the first scan, unless the frame has one component, or three not
// named R, G, B while every Adobe segment says YCbCr.
inline bool adobeMatters(const QByteArray& bytes) {
    bool adobe = false;
    bool allYCbCr = true;
    int components = -1;
    bool rgb = false;
    const auto byteAt = [&](qint64 i) { return i < bytes.size() ? int(uchar(bytes[i])) : -1; };
    walk(bytes, [&](qint64 marker, uchar code, int length) {
        if (code == 0xDA || code == 0xD9)
            return false;
        const qint64 payload = marker + 4;
        if (code == 0xEE && length >= 14 && bytes.mid(payload, 5) == "Adobe") {
            adobe = true;
            allYCbCr = allYCbCr && byteAt(payload + 11) == 1;
        }
        const bool frame =
            code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
        if (frame && components == -1) {
            components = length >= 8 ? byteAt(payload + 5) : -2;
            rgb = length >= 9 && byteAt(payload + 6) == 'R' && length >= 12 &&
                  byteAt(payload + 9) == 'G' && length >= 15 && byteAt(payload + 12) == 'B';
        }
        return true;
    });
    return adobe && components != 1 && !(components == 3 && allYCbCr && !rgb);
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

// What follows the main picture's end marker, which the walk meets.
inline qint64 removeTrailing(QByteArray& bytes) {
    const qint64 n = bytes.size();
    if (n <= 25)
        return 0;
    qint64 end = -1;
    walk(bytes, [&](qint64 marker, uchar code, int) {
        if (code == 0xD9)
            end = marker + 2;
        return true;
    });
    if (end < 0)
        return 0;
    bytes.truncate(end);
    return n - end;
}

// All chosen removals in their order; returns the bytes saved.
inline qint64 reduce(QByteArray& bytes, const ReductionOptions& options) {
    qint64 saved = 0;
    if (options.programSegments) {
        const bool keepAdobe = adobeMatters(bytes);
        saved += removeSegments(
            bytes,
            [&](uchar code) { return isProgramSegment(code) && !(keepAdobe && code == 0xEE); },
            1 << 30);
    }
    if (options.comment)
        saved += removeSegments(
            bytes, [](uchar code) { return code == 0xFE; }, 1);
    if (options.trailingData)
        saved += removeTrailing(bytes);
    return saved;
}

// The bytes `bytes` become with the chosen removals.
inline QByteArray reduced(QByteArray bytes, const ReductionOptions& options) {
    reduce(bytes, options);
    return bytes;
}

} // namespace reference
