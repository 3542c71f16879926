#include "common/test_env.h"
#include "common/test_registry.h"
#include "picture_samples.h"

#include "base/errors.h"
#include "imaging/bmp_reader.h"
#include "imaging/picture_files.h"

#include <QTest>

#include <array>
#include <functional>

namespace {

// A 5 x 3 test pattern of palette colours (index = (x + 2y) mod 4, mod 2 for
// 1-bit files), so that row order, bit order within a byte and row padding all
// show in the result.
constexpr int kWidth = 5, kHeight = 3;
const std::array<std::array<int, 3>, 4> kColours = {
    {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}}};

int indexAt(int x, int y, int bits) {
    return (x + 2 * y) % (bits == 1 ? 2 : 4);
}

Picture expectedPattern(int bits) {
    Picture p(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const auto& c = kColours[indexAt(x, y, bits)];
            p.setRgb(x, y, c[0], c[1], c[2]);
        }
    return p;
}

void put16(QByteArray& b, int v) {
    b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
}
void put32(QByteArray& b, std::int64_t v) {
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
}

// Pixel bytes of one row in the given depth (palette index for <= 8 bits).
QByteArray packedRow(int y, int bits, std::uint32_t rMask, std::uint32_t gMask,
                     std::uint32_t bMask) {
    QByteArray row;
    std::uint32_t acc = 0;
    int accBits = 0;
    for (int x = 0; x < kWidth; ++x) {
        const int i = indexAt(x, y, bits);
        const auto& c = kColours[i];
        if (bits <= 8) {
            acc = (acc << bits) | std::uint32_t(i);
            accBits += bits;
            if (accBits == 8) {
                row.append(char(acc));
                acc = 0;
                accBits = 0;
            }
            continue;
        }
        if (bits == 24) {
            row.append(char(c[2])).append(char(c[1])).append(char(c[0]));
            continue;
        }
        auto scaled = [](int v, std::uint32_t mask) {
            const int shift = std::countr_zero(mask);
            const std::uint32_t max = mask >> shift;
            return (std::uint32_t(v) * max / 255) << shift;
        };
        const std::uint32_t v = scaled(c[0], rMask) | scaled(c[1], gMask) | scaled(c[2], bMask);
        bits == 16 ? put16(row, int(v)) : put32(row, v);
    }
    if (accBits > 0)
        row.append(char(acc << (8 - accBits)));
    while (row.size() % 4)
        row.append('\0');
    return row;
}

struct BmpLayout {
    int bits = 24;
    bool topDown = false;
    int compression = 0; // 0 none, 1 RLE8, 2 RLE4, 3 bit fields
    std::array<std::uint32_t, 3> masks{0, 0, 0};
    bool coreHeader = false;
};

QByteArray runLength(int y, bool four) {
    // One encoded run for the first two pixels, then an absolute run for the rest.
    QByteArray b;
    if (four) {
        b.append(char(2)).append(char(indexAt(0, y, 8) << 4 | indexAt(1, y, 8)));
        b.append(char(0)).append(char(3));
        b.append(char(indexAt(2, y, 8) << 4 | indexAt(3, y, 8)))
            .append(char(indexAt(4, y, 8) << 4));
    } else {
        b.append(char(1))
            .append(char(indexAt(0, y, 8)))
            .append(char(1))
            .append(char(indexAt(1, y, 8)));
        b.append(char(0)).append(char(3));
        for (int x = 2; x < 5; ++x)
            b.append(char(indexAt(x, y, 8)));
        b.append('\0'); // absolute runs are padded to 16 bits
    }
    b.append(char(0)).append(char(0)); // end of line
    return b;
}

QByteArray buildBmp(const BmpLayout& s) {
    const bool hasMasks = s.compression == 3;
    const int infoSize = s.coreHeader ? 12 : 40;
    const int paletteEntries = s.bits <= 8 ? (1 << s.bits) : 0;
    const int paletteBytes = paletteEntries * (s.coreHeader ? 3 : 4);
    const int pixelOffset = 14 + infoSize + (hasMasks ? 12 : 0) + paletteBytes;
    QByteArray pixels;
    for (int fileRow = 0; fileRow < kHeight; ++fileRow) {
        const int y = s.topDown ? fileRow : kHeight - 1 - fileRow;
        if (s.compression == 1 || s.compression == 2)
            pixels += runLength(y, s.compression == 2);
        else
            pixels += packedRow(y, s.bits, s.masks[0], s.masks[1], s.masks[2]);
    }
    if (s.compression == 1 || s.compression == 2)
        pixels.append(char(0)).append(char(1));
    QByteArray b("BM");
    put32(b, pixelOffset + pixels.size());
    put32(b, 0);
    put32(b, pixelOffset);
    put32(b, infoSize);
    if (s.coreHeader) {
        put16(b, kWidth);
        put16(b, kHeight);
        put16(b, 1);
        put16(b, s.bits);
    } else {
        put32(b, kWidth);
        put32(b, s.topDown ? -kHeight : kHeight);
        put16(b, 1);
        put16(b, s.bits);
        put32(b, s.compression);
        put32(b, pixels.size());
        put32(b, 2835);
        put32(b, 2835);
        put32(b, 0);
        put32(b, 0);
    }
    if (hasMasks)
        for (std::uint32_t m : s.masks)
            put32(b, m);
    for (int i = 0; i < paletteEntries; ++i) {
        const auto& c = kColours[i % 4];
        b.append(char(c[2])).append(char(c[1])).append(char(c[0]));
        if (!s.coreHeader)
            b.append('\0');
    }
    return b + pixels;
}

BmpLayout layout(int bits, std::function<void(BmpLayout&)> change = {}) {
    BmpLayout s;
    s.bits = bits;
    if (change)
        change(s);
    return s;
}

} // namespace

class TestBmpReader : public QObject {
    Q_OBJECT
private slots:
    void readsEveryDepth_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("bits");
        for (int bits : {1, 2, 4, 8, 24}) {
            QTest::addRow("%d bits", bits) << buildBmp(layout(bits)) << bits;
            QTest::addRow("%d bits top-down", bits)
                << buildBmp(layout(bits, [](BmpLayout& s) { s.topDown = true; })) << bits;
        }
        QTest::newRow("16 bits 5-5-5") << buildBmp(layout(16, [](BmpLayout& s) {
            s.compression = 3;
            s.masks = {0x7C00, 0x03E0, 0x001F};
        })) << 16;
        QTest::newRow("16 bits 5-6-5") << buildBmp(layout(16, [](BmpLayout& s) {
            s.compression = 3;
            s.masks = {0xF800, 0x07E0, 0x001F};
        })) << 16;
        QTest::newRow("32 bits") << buildBmp(layout(32, [](BmpLayout& s) {
            s.masks = {0xFF0000, 0xFF00, 0xFF};
        })) << 32;
        QTest::newRow("32 bits top-down") << buildBmp(layout(32, [](BmpLayout& s) {
            s.masks = {0xFF0000, 0xFF00, 0xFF};
            s.topDown = true;
        })) << 32;
        QTest::newRow("32 bits fields") << buildBmp(layout(32, [](BmpLayout& s) {
            s.compression = 3;
            s.masks = {0xFF, 0xFF00, 0xFF0000};
        })) << 32;
        QTest::newRow("RLE8") << buildBmp(layout(8, [](BmpLayout& s) { s.compression = 1; })) << 8;
        QTest::newRow("RLE4") << buildBmp(layout(4, [](BmpLayout& s) { s.compression = 2; })) << 4;
        QTest::newRow("OS/2 core 8 bits")
            << buildBmp(layout(8, [](BmpLayout& s) { s.coreHeader = true; })) << 8;
        QTest::newRow("OS/2 core 24 bits")
            << buildBmp(layout(24, [](BmpLayout& s) { s.coreHeader = true; })) << 24;
    }
    void readsEveryDepth() {
        QFETCH(QByteArray, file);
        QFETCH(int, bits);
        QCOMPARE(samples::rgbOf(DecodeBmp(file)), samples::rgbOf(expectedPattern(bits)));
    }

    void sixteenBitsWithoutFieldsAreFiveFiveFive() {
        // Plain 16-bit files carry no masks; 0x7C00 is full red.
        QByteArray file = buildBmp(layout(16, [](BmpLayout& s) {
            s.masks = {0x7C00, 0x03E0, 0x001F};
        }));
        QCOMPARE(samples::rgbOf(DecodeBmp(file)), samples::rgbOf(expectedPattern(16)));
    }

    void bitmapFilesLoadByTheirExtension() {
        const QString path = testing::sandboxRoot() + QStringLiteral("/Bild.BMP");
        QVERIFY(testing::writeFile(path, buildBmp(layout(8))));
        QCOMPARE(samples::rgbOf(LoadPictureFile(path)), samples::rgbOf(expectedPattern(8)));
    }

    void truncatedPixelDataLeavesMissingRowsBlack() {
        const QByteArray whole = buildBmp(layout(24));
        const Picture p = DecodeBmp(whole.left(whole.size() - 16)); // last file row = top row cut
        const Picture expected = expectedPattern(24);
        QCOMPARE(p.width(), kWidth);
        for (int x = 0; x < kWidth; ++x)
            QCOMPARE(samples::rgbOf(p)[x * 3 + 1], 0);
        QVERIFY(std::memcmp(p.row(2), expected.row(2), kWidth * 3) == 0);
    }

    void badHeadersRaise_data() {
        QTest::addColumn<QByteArray>("file");
        const QByteArray good = buildBmp(layout(24));
        auto patched32 = [&](int offset, std::int64_t value) {
            QByteArray b = good;
            QByteArray v;
            put32(v, value);
            b.replace(offset, 4, v);
            return b;
        };
        auto patched16 = [&](int offset, int value) {
            QByteArray b = good;
            QByteArray v;
            put16(v, value);
            b.replace(offset, 2, v);
            return b;
        };
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("no signature") << QByteArray("XX") + good.mid(2);
        QTest::newRow("header cut") << good.left(30);
        QTest::newRow("huge") << patched32(22, 60000).replace(18, 4, "\x60\xEA\x00\x00");
        QTest::newRow("zero width") << patched32(18, 0);
        QTest::newRow("zero height") << patched32(22, 0);
        QTest::newRow("most negative height") << patched32(22, -2147483648LL);
        QTest::newRow("7 bits") << patched16(28, 7);
        QTest::newRow("JPEG inside") << patched32(30, 4);
        QTest::newRow("header size 200") << patched32(14, 200);
        QTest::newRow("pixels beyond file") << patched32(10, 1 << 20);
        QTest::newRow("RLE8 at 24 bits") << patched32(30, 1);
    }
    void badHeadersRaise() {
        QFETCH(QByteArray, file);
        QVERIFY_THROWS_EXCEPTION(KelvastoError, DecodeBmp(file));
    }

    void hostileRunLengthDataStaysInside() {
        QByteArray file = buildBmp(layout(8, [](BmpLayout& s) { s.compression = 1; }));
        const qsizetype pixels = file.size() - 2 - 3 * 10;
        // Long runs, deltas far outside and absolute runs past the end of the data.
        const QByteArray hostile("\xFF\x01\x00\x02\xFF\xFF\xFF\x02\x00\xFF\x01\x02", 12);
        for (int cut = 0; cut <= hostile.size(); ++cut) {
            QByteArray bad = file.left(pixels) + hostile.left(cut);
            const Picture p = DecodeBmp(bad);
            QCOMPARE(p.width(), kWidth);
        }
    }
};

KELVASTO_REGISTER_TEST(TestBmpReader)
#include "test_bmp_reader.moc"
