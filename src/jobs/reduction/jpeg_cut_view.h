#pragma once
// A file as it stands after some byte ranges were cut out of it, without
// moving any bytes: the reduction plans its cuts on this view and writes the
// result once. The bytes come from an open file (read in blocks, on demand,
// so a view of a huge file costs one block of memory) or from a buffer.
//
// Positions are those of the file with the cuts applied ("virtual").

#include "fs/byte_range.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>


class JpegCutView {
public:
    // Reads the `size` bytes of an open file by pread. The descriptor stays
    // the caller's. A read error throws KelvastoError.
    JpegCutView(int fd, std::int64_t size);
    // Views a buffer (kept alive by the view).
    explicit JpegCutView(const QByteArray& bytes);
    ~JpegCutView();
    JpegCutView(const JpegCutView&) = delete;
    JpegCutView& operator=(const JpegCutView&) = delete;

    // Length of the file with the cuts applied.
    std::int64_t size() const { return m_size; }
    // The byte at `position` (0 <= position < size()).
    std::uint8_t at(std::int64_t position);
    // The bytes from `position` on that lie together in memory, at least one
    // (0 <= position < size()); `count` receives how many.
    const std::uint8_t* span(std::int64_t position, std::int64_t& count);
    // The same backward: the byte at `position` and the bytes before it
    // that lie together in memory, at least one; `count` receives how many
    // (the first of them is at the returned pointer - count + 1).
    const std::uint8_t* spanBefore(std::int64_t position, std::int64_t& count);
    // Cuts [from, to) of the current view out (0 <= from <= to <= size()).
    void cut(std::int64_t from, std::int64_t to);
    // The original's byte ranges that are left, in order.
    const std::vector<ByteRange>& keptRanges() const { return m_pieces; }
    // The view's bytes (for tests and small files).
    QByteArray bytes();

private:
    struct Source;
    // Index of the piece that holds `position`.
    std::size_t pieceAt(std::int64_t position);
    void recountFrom(std::size_t piece);

    std::unique_ptr<Source> m_source;
    std::vector<ByteRange> m_pieces;         // kept original ranges, in order
    std::vector<std::int64_t> m_pieceStarts; // view position of each piece
    std::int64_t m_size = 0;
    std::size_t m_lastPiece = 0; // where the previous lookup ended: reads go forward
};
