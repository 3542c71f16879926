#include "imaging/bmp_reader.h"

#include "base/errors.h"
#include "imaging/decode_limits.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;

// A picture this small may be decoded whatever its data holds.
constexpr std::uint64_t kFreePixels = std::uint64_t{1} << 20;
// Rows of uncompressed data may be missing (they stay black), but not most of
// them: a few bytes declaring a giant picture would cost gigabytes of black.
constexpr std::uint64_t kLeastDataShare = 8;
// Run-length data paints at most 255 pixels with two bytes; deltas may skip
// more, but a picture that is nearly all skipped is no photograph.
constexpr std::uint64_t kRunLengthPixelsPerByte = 256;

[[noreturn]] void refuse(const char* why) {
    throw KelvastoError(std::string("not a readable bitmap file: ") + why, Failure::DamagedBitmap);
}

// Bounds-checked little-endian reads over the file's bytes.
class Bytes {
public:
    explicit Bytes(const QByteArray& data)
        : m_p(reinterpret_cast<const std::uint8_t*>(data.constData())),
          m_size(static_cast<std::size_t>(data.size())) {}
    std::size_t size() const { return m_size; }
    const std::uint8_t* at(std::size_t offset) const { return m_p + offset; }
    bool has(std::size_t offset, std::size_t count) const {
        return offset <= m_size && count <= m_size - offset;
    }
    std::uint32_t u8(std::size_t o) const { return need(o, 1), m_p[o]; }
    std::uint32_t u16(std::size_t o) const { return need(o, 2), m_p[o] | m_p[o + 1] << 8; }
    std::uint32_t u32(std::size_t o) const {
        need(o, 4);
        return m_p[o] | m_p[o + 1] << 8 | m_p[o + 2] << 16 | std::uint32_t{m_p[o + 3]} << 24;
    }

private:
    void need(std::size_t o, std::size_t n) const {
        if (!has(o, n))
            refuse("header cut off");
    }
    const std::uint8_t* m_p;
    std::size_t m_size;
};

struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    explicit Channel(std::uint32_t m = 0) : mask(m) {
        if (m != 0) {
            shift = std::countr_zero(m);
            bits = std::popcount(m >> shift);
        }
    }
    // The channel's value scaled to 0..255.
    std::uint8_t value(std::uint32_t pixel) const {
        if (mask == 0)
            return 0;
        const std::uint32_t v = (pixel & mask) >> shift;
        const std::uint32_t max = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
        return static_cast<std::uint8_t>((static_cast<std::uint64_t>(v) * 255 + max / 2) / max);
    }
};

struct Header {
    long long width = 0;
    long long height = 0; // positive; see topDown
    bool topDown = false;
    int bitCount = 0;
    std::uint32_t compression = kRgb;
    std::uint32_t pixelOffset = 0;
    Channel red, green, blue;
    std::vector<std::array<std::uint8_t, 3>> palette; // B, G, R
};

void readMasks(const Bytes& b, std::size_t at, Header& h) {
    h.red = Channel(b.u32(at));
    h.green = Channel(b.u32(at + 4));
    h.blue = Channel(b.u32(at + 8));
}

void readPalette(const Bytes& b, std::size_t at, std::size_t count, int entryBytes, Header& h) {
    for (std::size_t i = 0; i < count && b.has(at + i * entryBytes, 3); ++i) {
        const std::uint8_t* e = b.at(at + i * entryBytes);
        h.palette.push_back({e[0], e[1], e[2]});
    }
}

void setDefaultMasks(Header& h) {
    if (h.bitCount == 16) {
        h.red = Channel(0x7C00);
        h.green = Channel(0x03E0);
        h.blue = Channel(0x001F);
    } else if (h.bitCount == 32) {
        h.red = Channel(0xFF0000);
        h.green = Channel(0x00FF00);
        h.blue = Channel(0x0000FF);
    }
}

Header readHeader(const Bytes& b) {
    if (b.size() < 26 || b.u8(0) != 'B' || b.u8(1) != 'M')
        refuse("no BM signature");
    Header h;
    h.pixelOffset = b.u32(10);
    const std::uint32_t infoSize = b.u32(14);
    std::size_t paletteAt = 14 + infoSize;
    int entryBytes = 4;
    std::uint32_t coloursUsed = 0;
    if (infoSize == 12) { // OS/2 1.x core header
        h.width = b.u16(18);
        h.height = b.u16(20);
        h.bitCount = static_cast<int>(b.u16(24));
        entryBytes = 3;
    } else if (infoSize >= 16 && infoSize <= 124) {
        h.width = static_cast<std::int32_t>(b.u32(18));
        h.height = static_cast<std::int32_t>(b.u32(22));
        h.bitCount = static_cast<int>(b.u16(28));
        if (infoSize >= 20)
            h.compression = b.u32(30);
        if (infoSize >= 36)
            coloursUsed = b.u32(46);
    } else {
        refuse("unknown header size");
    }
    if (h.height < 0) {
        h.topDown = true;
        h.height = -h.height;
    }
    setDefaultMasks(h);
    if (h.compression == kBitFields || h.compression == kAlphaBitFields) {
        if (h.bitCount != 16 && h.bitCount != 32)
            refuse("bit fields need 16 or 32 bits per pixel");
        // A 40-byte header is followed by the masks; later headers hold them.
        readMasks(b, 14 + 40, h);
        if (infoSize == 40)
            paletteAt += h.compression == kAlphaBitFields ? 16 : 12;
    } else if (h.compression == kRle8   ? h.bitCount != 8
               : h.compression == kRle4 ? h.bitCount != 4
                                        : h.compression != kRgb) {
        refuse("unsupported compression");
    }
    if (h.bitCount <= 8) {
        const std::size_t full = std::size_t{1} << h.bitCount;
        readPalette(b, paletteAt, coloursUsed == 0 || coloursUsed > full ? full : coloursUsed,
                    entryBytes, h);
    }
    switch (h.bitCount) {
    case 1:
    case 2:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        break;
    default:
        refuse("unsupported colour depth");
    }
    if (h.topDown && (h.compression == kRle8 || h.compression == kRle4))
        refuse("compressed bitmaps cannot be top-down");
    return h;
}

// Row y of the file (bottom-up order unless topDown) is row `pictureRow` of the picture.
int pictureRow(const Header& h, long long fileRow) {
    return static_cast<int>(h.topDown ? fileRow : h.height - 1 - fileRow);
}

void putIndex(const Header& h, Picture& p, int x, int y, std::uint32_t index) {
    if (index >= h.palette.size())
        return; // an index past the palette stays black
    std::memcpy(p.pixel(x, y), h.palette[index].data(), 3);
}

// Rows are padded to four bytes.
std::size_t rowBytes(const Header& h) {
    return ((static_cast<std::size_t>(h.width) * h.bitCount + 31) / 32) * 4;
}

// False when the data ends before the last row.
bool decodeUncompressed(const Bytes& b, const Header& h, Picture& p) {
    const std::size_t stride = rowBytes(h);
    for (long long fileRow = 0; fileRow < h.height; ++fileRow) {
        const std::size_t at = h.pixelOffset + static_cast<std::size_t>(fileRow) * stride;
        if (!b.has(at, stride))
            return false; // truncated: the remaining rows stay black
        const std::uint8_t* src = b.at(at);
        const int y = pictureRow(h, fileRow);
        for (int x = 0; x < p.width(); ++x) {
            switch (h.bitCount) {
            case 1:
                putIndex(h, p, x, y, (src[x / 8] >> (7 - x % 8)) & 1);
                break;
            case 2:
                putIndex(h, p, x, y, (src[x / 4] >> (6 - 2 * (x % 4))) & 3);
                break;
            case 4:
                putIndex(h, p, x, y, (src[x / 2] >> (x % 2 ? 0 : 4)) & 0xF);
                break;
            case 8:
                putIndex(h, p, x, y, src[x]);
                break;
            case 24:
                std::memcpy(p.pixel(x, y), src + x * 3, 3);
                break;
            default: {
                const std::uint8_t* s = src + x * (h.bitCount / 8);
                std::uint32_t v = s[0] | s[1] << 8;
                if (h.bitCount == 32)
                    v |= s[2] << 16 | std::uint32_t{s[3]} << 24;
                p.setRgb(x, y, h.red.value(v), h.green.value(v), h.blue.value(v));
            }
            }
        }
    }
    return true;
}

// Run-length data of RLE8 and RLE4; positions outside the picture are dropped.
// False when the data ends before the end-of-bitmap code and before the last
// row is painted.
bool decodeRunLength(const Bytes& b, const Header& h, Picture& p) {
    const bool four = h.compression == kRle4;
    std::size_t at = h.pixelOffset;
    long long x = 0, fileRow = 0;
    auto put = [&](std::uint32_t index) {
        if (x < h.width && fileRow < h.height)
            putIndex(h, p, static_cast<int>(x), pictureRow(h, fileRow), index);
        ++x;
    };
    while (b.has(at, 2) && fileRow < h.height) {
        const std::uint32_t count = b.u8(at), value = b.u8(at + 1);
        at += 2;
        if (count > 0) {
            for (std::uint32_t i = 0; i < count; ++i)
                put(four ? (i % 2 ? value & 0xF : value >> 4) : value);
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++fileRow;
        } else if (value == 1) { // end of bitmap
            return true;
        } else if (value == 2) { // delta
            if (!b.has(at, 2))
                return false;
            x += b.u8(at);
            fileRow += b.u8(at + 1);
            at += 2;
        } else { // absolute run of `value` pixels, padded to 16 bits
            const std::size_t bytes = four ? (value + 1) / 2 : value;
            if (!b.has(at, bytes))
                return false;
            for (std::uint32_t i = 0; i < value; ++i) {
                const std::uint32_t byte = b.u8(at + (four ? i / 2 : i));
                put(four ? (i % 2 ? byte & 0xF : byte >> 4) : byte);
            }
            at += (bytes + 1) & ~std::size_t{1};
        }
    }
    // Every row painted, the last one to its end, is a whole picture.
    return fileRow >= h.height || (fileRow == h.height - 1 && x >= h.width);
}

// Refuses, before the picture is allocated, pixel data far shorter than the
// header claims.
void checkDataSuffices(const Bytes& b, const Header& h) {
    const std::uint64_t pixels = std::uint64_t(h.width) * std::uint64_t(h.height);
    const std::uint64_t data = b.size() - h.pixelOffset;
    if (pixels <= kFreePixels)
        return;
    const bool runLength = h.compression == kRle8 || h.compression == kRle4;
    const bool enough = runLength ? pixels <= kFreePixels + data * kRunLengthPixelsPerByte
                                  : data * kLeastDataShare >= rowBytes(h) * h.height;
    if (!enough)
        refuse("pixel data far shorter than the header claims");
}

} // namespace

Picture DecodeBmp(const QByteArray& data, CutOffBitmap cutOff) {
    const Bytes bytes(data);
    const Header h = readHeader(bytes);
    CheckPictureSize(h.width, h.height);
    if (h.pixelOffset >= bytes.size())
        refuse("no pixel data");
    checkDataSuffices(bytes, h);
    CheckDecodeMemory(std::uint64_t(PictureStride(static_cast<int>(h.width))) * h.height, 0,
                      "bitmap");
    Picture picture(static_cast<int>(h.width), static_cast<int>(h.height));
    const bool whole = h.compression == kRle8 || h.compression == kRle4
                           ? decodeRunLength(bytes, h, picture)
                           : decodeUncompressed(bytes, h, picture);
    if (!whole && cutOff == CutOffBitmap::Refuse)
        refuse("pixel data cut off");
    return picture;
}
