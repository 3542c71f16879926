#include "jobs/reduction/jpeg_marker_walker.h"

#include "jobs/reduction/jpeg_cut_view.h"

#include <cstring>

namespace {

using namespace jpeg_code;

constexpr std::uint8_t kTemporary = 0x01;
constexpr std::uint8_t kFirstSegmentCode = 0xC0;

bool isRestart(std::uint8_t code) {
    return code >= 0xD0 && code <= 0xD7;
}

} // namespace

std::optional<JpegMarker> JpegMarkerWalker::end() {
    m_mode = Mode::Ended;
    return std::nullopt;
}

std::optional<JpegMarker> JpegMarkerWalker::next(std::int64_t limit) {
    if (m_mode == Mode::NotStarted) {
        if (m_view.size() < 2 || m_view.at(0) != kMarkerByte || m_view.at(1) != kStartOfImage)
            return end();
        m_mode = Mode::Segments;
        m_position = 2;
        m_fill = 0;
    }
    while (m_mode != Mode::Ended) {
        // A marker found from here on starts at m_position - m_fill at the
        // earliest (its 0xFF is the last fill byte, or one still to come).
        const std::int64_t earliest = m_fill > 0 ? m_position - 1 : m_position;
        if (earliest >= limit)
            return std::nullopt;
        if (m_position >= m_view.size())
            return end();
        const std::uint8_t byte = m_view.at(m_position);
        if (byte == kMarkerByte) {
            ++m_fill;
            ++m_position;
            continue;
        }
        if (m_fill == 0) {
            if (m_mode == Mode::Segments)
                return end(); // a stray byte where a marker belongs
            skipEntropyData(limit);
            continue;
        }
        if (m_mode == Mode::EntropyData && (byte == 0x00 || isRestart(byte))) {
            m_fill = 0; // a stuffed 0xFF data byte or a restart marker
            ++m_position;
            continue;
        }
        return markerWithCode(byte);
    }
    return std::nullopt;
}

// m_position is at the code byte; the marker's 0xFF is the byte before it.
std::optional<JpegMarker> JpegMarkerWalker::markerWithCode(std::uint8_t code) {
    JpegMarker marker;
    marker.position = m_position - 1;
    marker.code = code;
    m_positionBefore = marker.position;
    m_modeBefore = m_mode;
    m_fillBefore = m_fill - 1;
    m_fill = 0;
    if (code == kStartOfImage)
        return end();
    if (code == kEndOfImage) {
        m_mode = Mode::Ended;
        return marker;
    }
    if (code < kFirstSegmentCode && code != kTemporary)
        return end(); // a reserved code: not a structure this walk knows
    if (isRestart(code) || code == kTemporary) {
        m_position = marker.end();
        m_mode = Mode::Segments;
        return marker;
    }
    if (m_position + 2 >= m_view.size())
        return end(); // no room for the length field
    const int length = (m_view.at(m_position + 1) << 8) | m_view.at(m_position + 2);
    if (length < 2)
        return end();
    marker.length = length;
    // A segment that runs past the end ends the walk at the next call.
    m_position = marker.end();
    m_mode = code == kStartOfScan ? Mode::EntropyData : Mode::Segments;
    return marker;
}

void JpegMarkerWalker::skipEntropyData(std::int64_t limit) {
    // Only a 0xFF can end the data; look for it block by block.
    while (m_position < m_view.size() && m_position < limit) {
        std::int64_t count = 0;
        const std::uint8_t* data = m_view.span(m_position, count);
        const void* found = std::memchr(data, kMarkerByte, std::size_t(count));
        if (found) {
            m_position += static_cast<const std::uint8_t*>(found) - data;
            return;
        }
        m_position += count;
    }
}

void JpegMarkerWalker::markerCut() {
    // The bytes behind the cut now stand where the marker's 0xFF stood.
    m_position = m_positionBefore;
    m_mode = m_modeBefore;
    m_fill = m_fillBefore;
}
