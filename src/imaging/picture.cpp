#include "imaging/picture.h"

#include "base/errors.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

namespace {

// Far beyond any camera, small enough that the effects' four work copies still fit.
constexpr long long kMaxPicturePixels = 400LL * 1000 * 1000;

long long physicalMemoryBytes() {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0)
        return 0;
    return static_cast<long long>(pages) * pageSize;
}

} // namespace

void CheckPictureSize(long long width, long long height) {
    if (width <= 0 || height <= 0)
        throw KelvastoError("picture has no pixels (" + std::to_string(width) + " x " +
                            std::to_string(height) + ")");
    if (width > kMaxPicturePixels || height > kMaxPicturePixels ||
        width * height > kMaxPicturePixels)
        throw KelvastoError("picture too large (" + std::to_string(width) + " x " +
                                std::to_string(height) + " pixels)",
                            Failure::PictureTooLarge);
    const long long bytes = static_cast<long long>(PictureStride(static_cast<int>(width))) * height;
    const long long memory = physicalMemoryBytes();
    // The effects hold the picture four times over; leave room for that.
    if (memory > 0 && bytes > memory / 4)
        throw KelvastoError("picture too large for the memory of this machine",
                            Failure::PictureTooLarge);
}

Picture::Picture(int width, int height) {
    resize(width, height); // a new vector's bytes are zero: black
}

void Picture::resize(int width, int height) {
    if (width == 0 || height == 0) {
        m_width = m_height = 0;
        m_stride = 0;
        return;
    }
    CheckPictureSize(width, height);
    const std::size_t stride = PictureStride(width);
    try {
        m_bytes.resize(stride * static_cast<std::size_t>(height));
    } catch (const std::bad_alloc&) {
        throw KelvastoError("not enough memory for a picture of " + std::to_string(width) + " x " +
                                std::to_string(height) + " pixels",
                            Failure::PictureTooLarge);
    }
    m_width = width;
    m_height = height;
    m_stride = stride;
}

void Picture::copyFrom(const Picture& other) {
    if (this == &other)
        return;
    resize(other.m_width, other.m_height);
    const std::size_t used = static_cast<std::size_t>(m_width) * 3;
    for (int y = 0; y < m_height; ++y)
        std::memcpy(row(y), other.row(y), used);
}

void Picture::setRgb(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    std::uint8_t* p = pixel(x, y);
    p[0] = b;
    p[1] = g;
    p[2] = r;
}

void Picture::fill(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x)
            setRgb(x, y, r, g, b);
}

bool Picture::operator==(const Picture& other) const {
    if (m_width != other.m_width || m_height != other.m_height)
        return false;
    const std::size_t used = static_cast<std::size_t>(m_width) * 3;
    for (int y = 0; y < m_height; ++y)
        if (std::memcmp(row(y), other.row(y), used) != 0)
            return false;
    return true;
}
