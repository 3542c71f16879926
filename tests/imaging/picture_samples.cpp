#include "picture_samples.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include <jpeglib.h>

namespace samples {

Picture noise(int width, int height, std::uint32_t seed, bool smooth) {
    Picture p(width, height);
    std::mt19937 random(seed);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* px = p.pixel(x, y);
            for (int ch = 0; ch < 3; ++ch) {
                int v = static_cast<int>(random() % 256);
                if (smooth && x > 0)
                    v = std::clamp(p.pixel(x - 1, y)[ch] + v % 21 - 10, 0, 255);
                px[ch] = static_cast<std::uint8_t>(v);
            }
        }
    }
    return p;
}

Picture flat(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    Picture p(width, height);
    p.fill(r, g, b);
    return p;
}

Picture fromRgb(int width, int height, const std::vector<int>& rgb) {
    Picture p(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
            p.setRgb(x, y, static_cast<std::uint8_t>(rgb[i]), static_cast<std::uint8_t>(rgb[i + 1]),
                     static_cast<std::uint8_t>(rgb[i + 2]));
        }
    return p;
}

std::vector<int> rgbOf(const Picture& p) {
    std::vector<int> out;
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x) {
            const std::uint8_t* px = p.pixel(x, y);
            out.insert(out.end(), {px[2], px[1], px[0]});
        }
    return out;
}

int maxDifference(const Picture& a, const Picture& b) {
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int i = 0; i < a.width() * 3; ++i)
            worst = std::max(worst, std::abs(a.row(y)[i] - b.row(y)[i]));
    return worst;
}

double meanDifference(const Picture& a, const Picture& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int i = 0; i < a.width() * 3; ++i)
            sum += std::abs(a.row(y)[i] - b.row(y)[i]);
    return sum / (3.0 * a.width() * a.height());
}

void markPadding(Picture& p, std::uint8_t value) {
    for (int y = 0; y < p.height(); ++y)
        std::memset(p.row(y) + p.width() * 3, value, p.stride() - p.width() * 3);
}

bool paddingIs(const Picture& p, std::uint8_t value) {
    for (int y = 0; y < p.height(); ++y)
        for (std::size_t i = p.width() * 3; i < p.stride(); ++i)
            if (p.row(y)[i] != value)
                return false;
    return true;
}

namespace {

// Row of JPEG input samples for one picture row in the chosen form.
void sampleRow(const Picture& p, int y, JpegForm form, std::vector<JSAMPLE>& row) {
    for (int x = 0; x < p.width(); ++x) {
        const std::uint8_t* px = p.pixel(x, y);
        const int b = px[0], g = px[1], r = px[2];
        switch (form) {
        case JpegForm::Greyscale:
        case JpegForm::AdobeGreyscale:
            row[x] = static_cast<JSAMPLE>((r + g + b) / 3);
            break;
        case JpegForm::AdobeCmyk:
        case JpegForm::ProgressiveCmyk:
        case JpegForm::Ycck:
        case JpegForm::PlainCmyk: {
            // Inks with no black: C = 255 - R and so on. Adobe files store them inverted.
            const bool inverted = form != JpegForm::PlainCmyk;
            const int inks[4] = {255 - r, 255 - g, 255 - b, 0};
            for (int k = 0; k < 4; ++k)
                row[x * 4 + k] = static_cast<JSAMPLE>(inverted ? 255 - inks[k] : inks[k]);
            break;
        }
        default:
            row[x * 3] = static_cast<JSAMPLE>(r);
            row[x * 3 + 1] = static_cast<JSAMPLE>(g);
            row[x * 3 + 2] = static_cast<JSAMPLE>(b);
        }
    }
}

} // namespace

QByteArray encodeJpeg(const Picture& p, JpegForm form, int quality) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(p.width());
    cinfo.image_height = static_cast<JDIMENSION>(p.height());
    const bool cmyk = form == JpegForm::AdobeCmyk || form == JpegForm::PlainCmyk ||
                      form == JpegForm::Ycck || form == JpegForm::ProgressiveCmyk;
    const bool grey = form == JpegForm::Greyscale || form == JpegForm::AdobeGreyscale;
    cinfo.input_components = grey ? 1 : cmyk ? 4 : 3;
    cinfo.in_color_space = grey ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (form == JpegForm::Ycck)
        jpeg_set_colorspace(&cinfo, JCS_YCCK);
    if (form == JpegForm::PlainCmyk)
        cinfo.write_Adobe_marker = FALSE;
    if (form == JpegForm::Progressive || form == JpegForm::ProgressiveCmyk)
        jpeg_simple_progression(&cinfo);
    cinfo.arith_code = form == JpegForm::Arithmetic ? TRUE : FALSE;
    if (form == JpegForm::Restarts)
        cinfo.restart_interval = 3;
    if (form == JpegForm::AdobeRgb || form == JpegForm::AdobeRgbNumbered)
        jpeg_set_colorspace(&cinfo, JCS_RGB);
    if (form == JpegForm::AdobeRgbNumbered)
        for (int c = 0; c < 3; ++c)
            cinfo.comp_info[c].component_id = c + 1;
    if (form == JpegForm::AdobeYCbCr || form == JpegForm::AdobeGreyscale)
        cinfo.write_Adobe_marker = TRUE;
    jpeg_scan_info separate[3];
    if (form == JpegForm::SeparateScans) {
        for (int c = 0; c < 3; ++c)
            separate[c] = {1, {c, 0, 0, 0}, 0, 63, 0, 0};
        cinfo.scan_info = separate;
        cinfo.num_scans = 3;
    }
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(p.width()) * 4);
    while (cinfo.next_scanline < cinfo.image_height) {
        sampleRow(p, static_cast<int>(cinfo.next_scanline), form, row);
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray bytes(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
    std::free(buffer);
    return bytes;
}

Picture decodeJpegPlain(const QByteArray& jpeg) {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(jpeg.constData()),
                 static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&cinfo);
    Picture p(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height));
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = p.row(static_cast<int>(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return p;
}

} // namespace samples
