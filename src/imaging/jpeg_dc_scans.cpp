#include "imaging/jpeg_dc_scans.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr std::uint8_t kSoi = 0xD8, kEoi = 0xD9, kSos = 0xDA, kSof2 = 0xC2;

bool isRestart(std::uint8_t marker) {
    return marker >= 0xD0 && marker <= 0xD7;
}

// Start-of-frame markers other than progressive Huffman (SOF2).
bool isOtherFrame(std::uint8_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC &&
           marker != kSof2;
}

// The end of a scan's entropy-coded data starting at `pos`: the next marker
// that is not a stuffed byte or a restart marker, or the end of the data.
qsizetype scanDataEnd(const std::uint8_t* bytes, qsizetype size, qsizetype pos) {
    while (pos < size) {
        const void* hit = std::memchr(bytes + pos, 0xFF, static_cast<std::size_t>(size - pos));
        if (hit == nullptr)
            return size;
        pos = static_cast<const std::uint8_t*>(hit) - bytes;
        if (pos + 1 >= size)
            return size;
        const std::uint8_t next = bytes[pos + 1];
        if (next != 0x00 && next != 0xFF && !isRestart(next))
            return pos;
        pos += next == 0xFF ? 1 : 2; // fill bytes before a marker
    }
    return size;
}

} // namespace

QByteArray WithoutDetailScans(const QByteArray& data) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.constData());
    const qsizetype size = data.size();
    if (size < 4 || bytes[0] != 0xFF || bytes[1] != kSoi)
        return {};
    QByteArray out;
    out.reserve(size / 4);
    out.append(data.constData(), 2);
    bool progressive = false, droppedAny = false;
    qsizetype pos = 2;
    while (pos < size) {
        if (bytes[pos] != 0xFF)
            return {}; // not where a marker must be
        while (pos < size && bytes[pos] == 0xFF)
            ++pos;
        if (pos >= size)
            break;
        const std::uint8_t marker = bytes[pos++];
        if (marker == kEoi) {
            out.append("\xFF\xD9", 2);
            break;
        }
        if (isRestart(marker) || marker == 0x01 || marker == 0x00)
            return {};
        if (pos + 2 > size)
            return {};
        const qsizetype length = (qsizetype(bytes[pos]) << 8) | bytes[pos + 1];
        if (length < 2 || pos + length > size)
            return {};
        const qsizetype segmentStart = pos - 2;
        const qsizetype segmentEnd = pos + length;
        if (marker == kSof2)
            progressive = true;
        else if (isOtherFrame(marker))
            return {};
        if (marker != kSos) {
            out.append(data.constData() + segmentStart, segmentEnd - segmentStart);
            pos = segmentEnd;
            continue;
        }
        if (!progressive)
            return {};
        // FF DA Lh Ll Ns (Cs Tda)*Ns Ss Se AhAl
        const qsizetype components = length >= 3 ? bytes[pos + 2] : 0;
        const qsizetype spectralStart = pos + 3 + 2 * components;
        if (components < 1 || spectralStart >= segmentEnd)
            return {};
        const qsizetype dataEnd = scanDataEnd(bytes, size, segmentEnd);
        if (bytes[spectralStart] == 0)
            out.append(data.constData() + segmentStart, dataEnd - segmentStart);
        else
            droppedAny = true;
        pos = dataEnd;
    }
    if (!progressive || !droppedAny)
        return {};
    if (!out.endsWith("\xFF\xD9"))
        out.append("\xFF\xD9", 2);
    return out;
}
