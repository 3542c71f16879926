#include "jobs/reduction/jpeg_structure_facts.h"

#include "jobs/reduction/jpeg_cut_view.h"
#include "jobs/reduction/jpeg_marker_walker.h"

#include <QCryptographicHash>

#include <algorithm>
#include <cstdint>
#include <optional>

namespace {

using namespace jpeg_code;

// Adobe's segment: "Adobe", version, two flag words, then the transform.
constexpr int kAdobeTransformOffset = 11;
constexpr int kAdobePayload = 12;

bool isFrameHeader(std::uint8_t code) {
    // SOF0..SOF15 but DHT (C4), JPG (C8) and DAC (CC).
    return code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
}

bool isMetadata(std::uint8_t code) {
    return (code >= 0xE0 && code <= 0xEF) || code == kComment;
}

// The payload byte `index` of a segment, if the segment and the view hold it.
std::optional<int> payloadByte(JpegCutView& view, const JpegMarker& marker, int index) {
    const std::int64_t at = marker.position + 4 + index;
    if (marker.length < 2 + index + 1 || at >= view.size())
        return std::nullopt;
    return view.at(at);
}

bool isAdobeSegment(JpegCutView& view, const JpegMarker& marker) {
    static const char kName[] = "Adobe";
    for (int i = 0; i < 5; ++i)
        if (payloadByte(view, marker, i) != int(std::uint8_t(kName[i])))
            return false;
    return marker.length >= 2 + kAdobePayload;
}

} // namespace

bool StartsLikeJpeg(JpegCutView& view) {
    return view.size() >= 3 && view.at(0) == kMarkerByte && view.at(1) == kStartOfImage &&
           view.at(2) == kMarkerByte;
}

bool AdobeSegmentDecidesColours(JpegCutView& view) {
    JpegMarkerWalker walker(view);
    bool adobe = false;
    bool allYCbCr = true;
    std::optional<int> components;
    bool rgbIdentifiers = false;
    // Everything a decoder reads before the first scan decides its colours.
    while (const auto marker = walker.next(view.size())) {
        if (marker->code == kStartOfScan || marker->code == kEndOfImage)
            break;
        if (marker->code == kAdobe && isAdobeSegment(view, *marker)) {
            adobe = true;
            allYCbCr = allYCbCr && payloadByte(view, *marker, kAdobeTransformOffset) == 1;
        }
        if (isFrameHeader(marker->code) && !components) {
            // Precision, height, width, then the count and per component its
            // identifier, sampling and table.
            components = payloadByte(view, *marker, 5);
            rgbIdentifiers = payloadByte(view, *marker, 6) == int('R') &&
                             payloadByte(view, *marker, 9) == int('G') &&
                             payloadByte(view, *marker, 12) == int('B');
        }
    }
    if (!adobe)
        return false; // no segment a decoder takes colours from
    if (components == 1)
        return false;
    return !(components == 3 && allYCbCr && !rgbIdentifiers);
}

QByteArray PictureDataDigest(JpegCutView& view) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const auto add = [&](std::int64_t from, std::int64_t to) {
        to = std::min(to, view.size());
        while (from < to) {
            std::int64_t count = 0;
            const std::uint8_t* data = view.span(from, count);
            count = std::min(count, to - from);
            hash.addData(QByteArrayView(reinterpret_cast<const char*>(data), count));
            from += count;
        }
    };
    JpegMarkerWalker walker(view);
    bool any = false;
    std::int64_t counted = -1; // start of the stretch counted so far, -1 for none
    while (const auto marker = walker.next(view.size())) {
        any = true;
        if (counted >= 0)
            add(counted, marker->position);
        counted = isMetadata(marker->code) ? -1 : marker->position;
        if (marker->code == kEndOfImage) {
            add(marker->position, marker->end());
            return hash.result();
        }
    }
    if (!any)
        return QByteArray();
    if (counted >= 0)
        add(counted, view.size()); // cut off: the data to the end
    return hash.result();
}
