#pragma once
// Builds JPEG byte streams segment by segment, so each test shows its input in
// one line:
//
//     JpegBuilder().soi().app(1, 100).com("hello").dqt().eoi().trailing(10).bytes()
//     JpegBuilder().soi().app(0).cut(3).bytes()        // cut off in the first segment
//
// The segments are well-formed markers with big-endian lengths; the result is
// not a decodable picture unless it comes from picture().

#include <QByteArray>
#include <QString>

#include <cstdint>

class JpegBuilder {
public:
    JpegBuilder& soi();
    JpegBuilder& eoi();
    // APPn segment whose length field is `length` (payload length + 2).
    JpegBuilder& app(int n, int length = 16);
    JpegBuilder& com(const QByteArray& text);
    JpegBuilder& dqt();
    // Any marker with a payload of `payloadBytes` filler bytes.
    JpegBuilder& segment(std::uint8_t marker, int payloadBytes);
    // Bytes that stand for entropy-coded data (no 0xFF in them).
    JpegBuilder& scanData(int count);
    JpegBuilder& trailing(int count, char fill = 'x');
    JpegBuilder& raw(const QByteArray& bytes);
    // Keeps only the first `length` bytes: a file cut off mid-segment.
    JpegBuilder& cut(int length);
    QByteArray bytes() const { return m_bytes; }

    // A real, decodable baseline JPEG of the given size in one flat colour.
    static QByteArray picture(int width, int height, std::uint8_t r = 128, std::uint8_t g = 128,
                              std::uint8_t b = 128);
    // 2,000 bytes with an APP1 segment (62 bytes), a comment (9) and 100
    // bytes behind the picture: kDecoratedSaved bytes to save with every
    // reduction option.
    static QByteArray decorated();
    static constexpr int kDecoratedSaved = 171;

private:
    QByteArray m_bytes;
};
