#pragma once
// Real JPEG files damaged the ways a failing disk or a broken transfer does.

#include <QByteArray>

namespace testing {

// Offset of the first byte after the start-of-scan segment.
inline qsizetype jpegScanStart(const QByteArray& jpeg) {
    const qsizetype sos = jpeg.indexOf(QByteArray("\xFF\xDA", 2));
    const int length = (uchar(jpeg.at(sos + 2)) << 8) | uchar(jpeg.at(sos + 3));
    return sos + 2 + length;
}

// Somewhere in the middle of the scan data, not beside a 0xFF.
inline qsizetype jpegMiddleOfScan(const QByteArray& jpeg) {
    qsizetype at = (jpegScanStart(jpeg) + jpeg.size() - 2) / 2;
    while (uchar(jpeg.at(at - 1)) == 0xFF || uchar(jpeg.at(at)) == 0xFF ||
           uchar(jpeg.at(at + 1)) == 0xFF)
        ++at;
    return at;
}

// A flipped block: a restart marker where none belongs, end marker intact.
inline QByteArray jpegDamagedInTheMiddle(const QByteArray& sound) {
    QByteArray bytes = sound;
    bytes.replace(jpegMiddleOfScan(bytes), 2, QByteArray("\xFF\xD3", 2));
    return bytes;
}

} // namespace testing
