#pragma once
// The program's picture: a 24-bit device-independent bitmap. Each pixel is three
// bytes in the order blue, green, red; pixel (0, 0) is the top left corner. Rows
// are padded to a multiple of four bytes as in a DIB; the padding bytes belong to
// no pixel and no routine reads or writes them.

#include <cstddef>
#include <cstdint>
#include <vector>

// Throws KelvastoError unless a width x height picture is possible: both sides
// positive and the pixel buffer within the program's limit and the machine's
// physical memory. Called before anything of that size is allocated.
void CheckPictureSize(long long width, long long height);

// Bytes per row of a 24-bit DIB: three per pixel, rounded up to four.
constexpr std::size_t PictureStride(int width) {
    return (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
}

class Picture {
public:
    Picture() = default;
    // A black picture; throws KelvastoError when the size is refused.
    Picture(int width, int height);

    int width() const { return m_width; }
    int height() const { return m_height; }
    std::size_t stride() const { return m_stride; }
    bool isEmpty() const { return m_width == 0 || m_height == 0; }

    std::uint8_t* row(int y) { return m_bytes.data() + static_cast<std::size_t>(y) * m_stride; }
    const std::uint8_t* row(int y) const {
        return m_bytes.data() + static_cast<std::size_t>(y) * m_stride;
    }
    std::uint8_t* pixel(int x, int y) { return row(y) + static_cast<std::size_t>(x) * 3; }
    const std::uint8_t* pixel(int x, int y) const {
        return row(y) + static_cast<std::size_t>(x) * 3;
    }

    // Sets all three channels of a pixel; the arguments are in the usual R, G, B order.
    void setRgb(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b);
    void fill(std::uint8_t r, std::uint8_t g, std::uint8_t b);

    // Reshapes to width x height, keeping the buffer when it is big enough. The
    // content is unspecified afterwards.
    void resize(int width, int height);
    // Copies pixels and size, reusing this picture's buffer where possible.
    void copyFrom(const Picture& other);

    // Equal size and equal pixels; padding does not count.
    bool operator==(const Picture& other) const;

private:
    int m_width = 0;
    int m_height = 0;
    std::size_t m_stride = 0;
    std::vector<std::uint8_t> m_bytes;
};
