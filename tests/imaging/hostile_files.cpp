#include "hostile_files.h"

#include <cstdint>
#include <initializer_list>

namespace hostile {

namespace {

void put16be(QByteArray& b, int v) {
    b.append(char((v >> 8) & 0xFF)).append(char(v & 0xFF));
}

void put16le(QByteArray& b, int v) {
    b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
}

void put32le(QByteArray& b, std::int64_t v) {
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
}

QByteArray segment(std::uint8_t marker, const QByteArray& payload) {
    QByteArray b;
    b.append(char(0xFF)).append(char(marker));
    put16be(b, int(payload.size()) + 2);
    return b + payload;
}

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}

// Quantisation table 0, all ones.
QByteArray dqt() {
    return segment(0xDB, bytes({0}) + QByteArray(64, char(1)));
}

// A frame of `components` components, ids 1.., no subsampling, table 0.
QByteArray frame(std::uint8_t marker, int width, int height, int components) {
    QByteArray p = bytes({8});
    put16be(p, height);
    put16be(p, width);
    p.append(char(components));
    for (int c = 1; c <= components; ++c)
        p += bytes({c, 0x11, 0});
    return segment(marker, p);
}

// Huffman table `id` of class `tableClass` (0 DC, 1 AC) with one code of one
// bit for `symbol`.
QByteArray oneCodeTable(int tableClass, int id, int symbol) {
    QByteArray p = bytes({tableClass << 4 | id, 1});
    p += QByteArray(15, '\0');
    p.append(char(symbol));
    return segment(0xC4, p);
}

QByteArray scan(int components, int ss, int se) {
    QByteArray p = bytes({components});
    for (int c = 1; c <= components; ++c)
        p += bytes({c, 0x00});
    p += bytes({ss, se, 0});
    return segment(0xDA, p);
}

QByteArray bitmapHeader(int width, int height, int bits, int compression, int paletteEntries,
                        int dataBytes) {
    const int offset = 14 + 40 + 4 * paletteEntries;
    QByteArray b("BM");
    put32le(b, offset + dataBytes);
    put32le(b, 0);
    put32le(b, offset);
    put32le(b, 40);
    put32le(b, width);
    put32le(b, height);
    put16le(b, 1);
    put16le(b, bits);
    put32le(b, compression);
    put32le(b, dataBytes);
    put32le(b, 2835);
    put32le(b, 2835);
    put32le(b, paletteEntries);
    put32le(b, 0);
    for (int i = 0; i < paletteEntries; ++i)
        b += bytes({i * 40 & 0xFF, 255 - i, i, 0});
    return b;
}

} // namespace

QByteArray progressiveWithoutData(int width, int height) {
    return bytes({0xFF, 0xD8}) + dqt() + frame(0xC2, width, height, 3) + oneCodeTable(0, 0, 0) +
           scan(3, 0, 0) + bytes({0x00, 0x00, 0x00, 0x00}) + bytes({0xFF, 0xD9});
}

QByteArray progressiveEmptyScans(int width, int height, int scans) {
    QByteArray b = bytes({0xFF, 0xD8}) + dqt() + frame(0xC2, width, height, 1) +
                   oneCodeTable(0, 0, 0) + oneCodeTable(1, 0, 0) + scan(1, 0, 0) + bytes({0x00});
    for (int i = 0; i < scans; ++i)
        b += scan(1, 1, 63);
    return b + bytes({0xFF, 0xD9});
}

QByteArray baselineWithoutData(int width, int height) {
    return bytes({0xFF, 0xD8}) + dqt() + frame(0xC0, width, height, 3) + oneCodeTable(0, 0, 0) +
           oneCodeTable(1, 0, 0) + scan(3, 0, 63);
}

QByteArray bitmapWithData(int width, int height, int dataBytes) {
    return bitmapHeader(width, height, 24, 0, 0, dataBytes) + QByteArray(dataBytes, char(0x80));
}

QByteArray runLengthBitmap(int width, int height, int runs) {
    QByteArray data;
    for (int i = 0; i < runs; ++i)
        data += bytes({255, 1});
    data += bytes({0, 1}); // end of bitmap
    return bitmapHeader(width, height, 8, 1, 2, int(data.size())) + data;
}

} // namespace hostile
