#pragma once
// Walks the markers of a JPEG file the way a decoder meets them, from the
// start-of-image marker 0xFF 0xD8 on: a segment is skipped by its length,
// entropy-coded data by its stuffing rule (0xFF 0x00 and the restart markers
// 0xFF 0xD0..0xD7 are data; further 0xFF bytes before a code are fill). So a
// byte pair 0xFF xx inside another segment's data is never taken for a marker.
//
// The position of a marker is that of the 0xFF right before its code. The
// walk ends at the end-of-image marker, at the end of the file, and where the
// structure breaks (a stray byte where a marker belongs, a length below 2, a
// second start-of-image marker, a reserved code). Each byte is read at most once, so the walk
// is linear in what it reads, and it never reads outside the view.

#include <cstdint>
#include <optional>

class JpegCutView;

// The marker codes the walk and the reduction name (the byte behind 0xFF).
namespace jpeg_code {
inline constexpr std::uint8_t kMarkerByte = 0xFF;
inline constexpr std::uint8_t kStartOfImage = 0xD8;
inline constexpr std::uint8_t kEndOfImage = 0xD9;
inline constexpr std::uint8_t kStartOfScan = 0xDA;
inline constexpr std::uint8_t kAdobe = 0xEE; // APP14
inline constexpr std::uint8_t kComment = 0xFE;
} // namespace jpeg_code

struct JpegMarker {
    std::int64_t position = 0; // of the 0xFF right before the code
    std::uint8_t code = 0;
    int length = -1; // the segment's length field (2..65535); -1 for a marker without one
    // Just behind the segment (or the marker); may lie beyond the file's end.
    std::int64_t end() const { return position + 2 + (length < 0 ? 0 : length); }
};

class JpegMarkerWalker {
public:
    explicit JpegMarkerWalker(JpegCutView& view) : m_view(view) {}

    // The next marker that starts before `limit`; none when the walk ended or
    // no marker starts before `limit`.
    std::optional<JpegMarker> next(std::int64_t limit);

    // The marker `next` returned last was cut out of the view: the walk goes
    // on where it stood, with the bytes that now follow. Its state before the
    // marker (entropy data or between segments, fill bytes before it) holds
    // there, since nothing before the marker changed.
    void markerCut();

private:
    enum class Mode { NotStarted, Segments, EntropyData, Ended };

    std::optional<JpegMarker> markerWithCode(std::uint8_t code);
    void skipEntropyData(std::int64_t limit);
    std::optional<JpegMarker> end();

    JpegCutView& m_view;
    Mode m_mode = Mode::NotStarted;
    std::int64_t m_position = 0; // next byte to read
    std::int64_t m_fill = 0;     // 0xFF bytes read right before m_position
    // The state in front of the last marker returned, for markerCut.
    std::int64_t m_positionBefore = 0;
    Mode m_modeBefore = Mode::Segments;
    std::int64_t m_fillBefore = 0;
};
