#include "common/similar_scenes.h"

#include "imaging/resample.h"

#include <QFile>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <random>
#include <vector>

#include <jpeglib.h>

namespace testing {

namespace {

std::uint8_t clampByte(int value) {
    return std::uint8_t(std::clamp(value, 0, 255));
}

struct Shape {
    bool ellipse;
    int cx, cy, rx, ry;
    int r, g, b;
};

} // namespace

Picture scene(int width, int height, unsigned seed) {
    std::mt19937 random(seed);
    auto pick = [&](int from, int to) {
        return std::uniform_int_distribution<int>(from, to)(random);
    };
    const int skyTop[3] = {pick(0, 255), pick(0, 255), pick(0, 255)};
    const int skyBottom[3] = {pick(0, 255), pick(0, 255), pick(0, 255)};
    std::vector<Shape> shapes(std::size_t(pick(5, 9)));
    for (Shape& s : shapes)
        s = {pick(0, 1) == 1,
             pick(0, width),
             pick(0, height),
             pick(width / 12, width / 3),
             pick(height / 12, height / 3),
             pick(0, 255),
             pick(0, 255),
             pick(0, 255)};
    Picture picture(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int c[3];
            for (int i = 0; i < 3; ++i)
                c[i] = skyTop[i] + (skyBottom[i] - skyTop[i]) * y / height;
            for (const Shape& s : shapes) {
                const double dx = double(x - s.cx) / s.rx, dy = double(y - s.cy) / s.ry;
                const bool inside = s.ellipse ? dx * dx + dy * dy <= 1.0
                                              : std::abs(dx) <= 1.0 && std::abs(dy) <= 1.0;
                if (inside) {
                    c[0] = s.r;
                    c[1] = s.g;
                    c[2] = s.b;
                }
            }
            const int noise = pick(-6, 6);
            picture.setRgb(x, y, clampByte(c[0] + noise), clampByte(c[1] + noise),
                           clampByte(c[2] + noise));
        }
    }
    return picture;
}

Picture variantOf(const Picture& picture, Variant variant) {
    const int w = picture.width(), h = picture.height();
    switch (variant) {
    case Variant::Original:
    case Variant::Quality40:
        return picture;
    case Variant::Half:
        return ResamplePicture(picture, w / 2, h / 2);
    case Variant::Crop5: {
        const int left = w / 20, top = h / 20;
        Picture cropped(w - 2 * left, h - 2 * top);
        for (int y = 0; y < cropped.height(); ++y)
            std::copy_n(picture.pixel(left, top + y), std::size_t(cropped.width()) * 3,
                        cropped.row(y));
        return ResamplePicture(cropped, w, h);
    }
    case Variant::Brighter12:
    case Variant::Grey: {
        Picture out = picture;
        for (int y = 0; y < h; ++y) {
            std::uint8_t* p = out.row(y);
            for (int x = 0; x < w; ++x, p += 3) {
                if (variant == Variant::Brighter12) {
                    for (int i = 0; i < 3; ++i)
                        p[i] = clampByte(p[i] * 112 / 100);
                } else {
                    p[0] = p[1] = p[2] = clampByte((p[0] * 114 + p[1] * 587 + p[2] * 299) / 1000);
                }
            }
        }
        return out;
    }
    }
    return picture;
}

namespace {

struct Failure {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void fail(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<Failure*>(cinfo->err)->jump, 1);
}

// Plain data only across the jump.
bool encode(jpeg_compress_struct* cinfo, Failure* err, const Picture* picture, int quality,
            bool progressive) {
    if (setjmp(err->jump))
        return false;
    cinfo->image_width = JDIMENSION(picture->width());
    cinfo->image_height = JDIMENSION(picture->height());
    cinfo->input_components = 3;
    cinfo->in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, quality, TRUE);
    if (progressive)
        jpeg_simple_progression(cinfo);
    jpeg_start_compress(cinfo, TRUE);
    while (cinfo->next_scanline < cinfo->image_height) {
        JSAMPROW row = const_cast<std::uint8_t*>(picture->row(int(cinfo->next_scanline)));
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
    return true;
}

} // namespace

QByteArray jpegAt(const Picture& picture, int quality, bool progressive) {
    jpeg_compress_struct cinfo{};
    Failure err{};
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = fail;
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    const bool done = encode(&cinfo, &err, &picture, quality, progressive);
    jpeg_destroy_compress(&cinfo);
    QByteArray bytes =
        done ? QByteArray(reinterpret_cast<const char*>(buffer), qsizetype(size)) : QByteArray();
    std::free(buffer);
    return bytes;
}

QByteArray variantFile(const Picture& original, Variant variant) {
    return jpegAt(variantOf(original, variant), variant == Variant::Quality40 ? 40 : 90);
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace testing
