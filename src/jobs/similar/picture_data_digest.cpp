#include "jobs/similar/picture_data_digest.h"

#include "jobs/reduction/jpeg_cut_view.h"
#include "jobs/reduction/jpeg_marker_walker.h"

#include <QCryptographicHash>

#include <limits>

namespace {

constexpr std::uint8_t kEndOfImage = 0xD9;
constexpr std::uint8_t kStartOfScan = 0xDA;
constexpr std::uint8_t kComment = 0xFE;

bool isMetadata(std::uint8_t code) {
    return (code >= 0xE0 && code <= 0xEF) || code == kComment;
}

// Frame headers: SOF0..SOF15 but DHT (C4), JPG (C8) and DAC (CC).
bool isFrame(std::uint8_t code) {
    return code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
}

} // namespace

QByteArray PictureDataDigest(const QByteArray& data) {
    JpegCutView view(data);
    JpegMarkerWalker walker(view);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const auto add = [&](std::int64_t from, std::int64_t to) {
        hash.addData(QByteArrayView(data.constData() + from, qsizetype(to - from)));
    };
    std::int64_t keptFrom = 0;
    bool frame = false, scan = false;
    while (const std::optional<JpegMarker> marker =
               walker.next(std::numeric_limits<std::int64_t>::max())) {
        if (marker->end() > data.size())
            return {}; // a segment cut off
        frame = frame || isFrame(marker->code);
        scan = scan || marker->code == kStartOfScan;
        if (marker->code == kEndOfImage) {
            if (!frame || !scan)
                return {};
            add(keptFrom, marker->end());
            return hash.result();
        }
        if (!isMetadata(marker->code))
            continue;
        add(keptFrom, marker->position);
        keptFrom = marker->end();
    }
    return {};
}
