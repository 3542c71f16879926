#include "jobs/reduction/jpeg_cut_view.h"

#include "base/errors.h"

#include <algorithm>
#include <cerrno>

#include <unistd.h>

namespace {

// Most reads are a few segment headers at the start and the end marker at
// the end: small blocks copy little of a file that is otherwise copied by the
// kernel.
constexpr std::int64_t kBlockSize = 16 * 1024;

} // namespace

// The original bytes: a buffer, or one block of the file at a time. Reads go
// mostly forward (the marker walk) or backward (the end-marker search), so
// one block in memory serves nearly every read.
struct JpegCutView::Source {
    int fd = -1;
    std::int64_t size = 0;
    QByteArray memory;
    std::unique_ptr<std::uint8_t[]> block;
    std::int64_t blockBegin = 0;
    std::int64_t blockEnd = 0;
    const std::uint8_t* base = nullptr;

    // The byte at `offset` and how many follow it in memory (at least one).
    const std::uint8_t* load(std::int64_t offset, std::int64_t& count) {
        if (offset < blockBegin || offset >= blockEnd)
            readBlock(offset);
        count = blockEnd - offset;
        return base + (offset - blockBegin);
    }

    // The byte at `offset` and how many precede it in memory, itself included.
    const std::uint8_t* loadBefore(std::int64_t offset, std::int64_t& count) {
        if (offset < blockBegin || offset >= blockEnd)
            readBlock(offset);
        count = offset - blockBegin + 1;
        return base + (offset - blockBegin);
    }

private:
    void readBlock(std::int64_t offset) {
        // Aligned blocks serve the forward walk and the backward search alike.
        const std::int64_t begin = offset / kBlockSize * kBlockSize;
        const std::int64_t end = std::min(size, begin + kBlockSize);
        if (!block)
            block.reset(new std::uint8_t[kBlockSize]);
        std::int64_t done = 0;
        while (done < end - begin) {
            const ssize_t got = ::pread(fd, block.get() + done, std::size_t(end - begin - done),
                                        off_t(begin + done));
            if (got < 0 && errno == EINTR)
                continue;
            // A file that shrank under us reads short: its plan is void.
            if (got <= 0)
                throw KelvastoError("cannot read the file", Failure::ReadFile, got < 0 ? errno : 0);
            done += got;
        }
        base = block.get();
        blockBegin = begin;
        blockEnd = end;
    }
};

JpegCutView::JpegCutView(int fd, std::int64_t size) : m_source(std::make_unique<Source>()) {
    m_source->fd = fd;
    m_source->size = size;
    m_size = size;
    if (size > 0) {
        m_pieces.push_back({0, size});
        m_pieceStarts.push_back(0);
    }
}

JpegCutView::JpegCutView(const QByteArray& bytes) : m_source(std::make_unique<Source>()) {
    m_source->memory = bytes;
    m_source->size = bytes.size();
    m_source->base = reinterpret_cast<const std::uint8_t*>(m_source->memory.constData());
    m_source->blockEnd = bytes.size();
    m_size = bytes.size();
    if (m_size > 0) {
        m_pieces.push_back({0, m_size});
        m_pieceStarts.push_back(0);
    }
}

JpegCutView::~JpegCutView() = default;

std::size_t JpegCutView::pieceAt(std::int64_t position) {
    const auto holds = [&](std::size_t i) {
        return i < m_pieces.size() && position >= m_pieceStarts[i] &&
               position < m_pieceStarts[i] + m_pieces[i].size();
    };
    if (holds(m_lastPiece))
        return m_lastPiece;
    if (holds(m_lastPiece + 1))
        return ++m_lastPiece;
    const auto after = std::upper_bound(m_pieceStarts.begin(), m_pieceStarts.end(), position);
    m_lastPiece = std::size_t(after - m_pieceStarts.begin()) - 1;
    return m_lastPiece;
}

const std::uint8_t* JpegCutView::span(std::int64_t position, std::int64_t& count) {
    const std::size_t i = pieceAt(position);
    const std::int64_t offset = m_pieces[i].begin + (position - m_pieceStarts[i]);
    const std::uint8_t* data = m_source->load(offset, count);
    count = std::min(count, m_pieces[i].end - offset);
    return data;
}

const std::uint8_t* JpegCutView::spanBefore(std::int64_t position, std::int64_t& count) {
    const std::size_t i = pieceAt(position);
    const std::int64_t offset = m_pieces[i].begin + (position - m_pieceStarts[i]);
    const std::uint8_t* data = m_source->loadBefore(offset, count);
    count = std::min(count, offset - m_pieces[i].begin + 1);
    return data;
}

std::uint8_t JpegCutView::at(std::int64_t position) {
    std::int64_t count = 0;
    return *span(position, count);
}

void JpegCutView::cut(std::int64_t from, std::int64_t to) {
    if (from >= to)
        return;
    const std::size_t first = pieceAt(from);
    const std::size_t last = pieceAt(to - 1);
    std::vector<ByteRange> replacement;
    const ByteRange head{m_pieces[first].begin,
                         m_pieces[first].begin + (from - m_pieceStarts[first])};
    const ByteRange tail{m_pieces[last].begin + (to - m_pieceStarts[last]), m_pieces[last].end};
    if (head.size() > 0)
        replacement.push_back(head);
    if (tail.size() > 0)
        replacement.push_back(tail);
    m_pieces.erase(m_pieces.begin() + std::ptrdiff_t(first),
                   m_pieces.begin() + std::ptrdiff_t(last) + 1);
    m_pieces.insert(m_pieces.begin() + std::ptrdiff_t(first), replacement.begin(),
                    replacement.end());
    m_size -= to - from;
    recountFrom(first);
    m_lastPiece = std::min(first, m_pieces.empty() ? 0 : m_pieces.size() - 1);
}

void JpegCutView::recountFrom(std::size_t piece) {
    m_pieceStarts.resize(m_pieces.size());
    std::int64_t start = piece == 0 ? 0 : m_pieceStarts[piece - 1] + m_pieces[piece - 1].size();
    for (std::size_t i = piece; i < m_pieces.size(); ++i) {
        m_pieceStarts[i] = start;
        start += m_pieces[i].size();
    }
}

QByteArray JpegCutView::bytes() {
    QByteArray out;
    out.reserve(m_size);
    for (std::int64_t position = 0; position < m_size;) {
        std::int64_t count = 0;
        const std::uint8_t* data = span(position, count);
        out.append(reinterpret_cast<const char*>(data), count);
        position += count;
    }
    return out;
}
