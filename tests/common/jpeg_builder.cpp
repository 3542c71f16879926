#include "common/jpeg_builder.h"

#include <QBuffer>
#include <QImage>

namespace {
void put16(QByteArray& out, int value) {
    out.append(char((value >> 8) & 0xFF));
    out.append(char(value & 0xFF));
}
} // namespace

JpegBuilder& JpegBuilder::soi() {
    return raw(QByteArray("\xFF\xD8", 2));
}
JpegBuilder& JpegBuilder::eoi() {
    return raw(QByteArray("\xFF\xD9", 2));
}

JpegBuilder& JpegBuilder::app(int n, int length) {
    return segment(std::uint8_t(0xE0 + n), length - 2);
}

JpegBuilder& JpegBuilder::com(const QByteArray& text) {
    m_bytes.append(char(0xFF));
    m_bytes.append(char(0xFE));
    put16(m_bytes, int(text.size()) + 2);
    m_bytes.append(text);
    return *this;
}

JpegBuilder& JpegBuilder::dqt() {
    return segment(0xDB, 65);
}

JpegBuilder& JpegBuilder::segment(std::uint8_t marker, int payloadBytes) {
    m_bytes.append(char(0xFF));
    m_bytes.append(char(marker));
    put16(m_bytes, payloadBytes + 2);
    m_bytes.append(QByteArray(payloadBytes, 'p'));
    return *this;
}

JpegBuilder& JpegBuilder::scanData(int count) {
    return raw(QByteArray(count, 's'));
}
JpegBuilder& JpegBuilder::trailing(int count, char fill) {
    return raw(QByteArray(count, fill));
}

JpegBuilder& JpegBuilder::raw(const QByteArray& bytes) {
    m_bytes.append(bytes);
    return *this;
}

JpegBuilder& JpegBuilder::cut(int length) {
    m_bytes.truncate(length);
    return *this;
}

QByteArray JpegBuilder::picture(int width, int height, std::uint8_t r, std::uint8_t g,
                                std::uint8_t b) {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(QColor(r, g, b));
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 90);
    return out;
}

QByteArray JpegBuilder::decorated() {
    return JpegBuilder()
        .soi()
        .app(0, 16)
        .app(1, 60)
        .com("hello")
        .segment(0xDA, 6)
        .scanData(1809)
        .eoi()
        .trailing(100)
        .bytes();
}
