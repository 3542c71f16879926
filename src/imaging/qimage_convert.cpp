#include "imaging/qimage_convert.h"

#include "base/errors.h"

QImage ToQImage(const Picture& picture) {
    if (picture.isEmpty())
        return {};
    QImage image(picture.width(), picture.height(), QImage::Format_RGB32);
    if (image.isNull())
        throw KelvastoError("not enough memory to show the picture");
    for (int y = 0; y < picture.height(); ++y) {
        const std::uint8_t* src = picture.row(y);
        auto* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < picture.width(); ++x, src += 3)
            dst[x] = qRgb(src[2], src[1], src[0]);
    }
    return image;
}

Picture FromQImage(const QImage& image) {
    if (image.isNull())
        return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    if (rgb.isNull())
        throw KelvastoError("not enough memory to convert the picture");
    Picture picture(rgb.width(), rgb.height());
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            picture.setRgb(x, y, static_cast<std::uint8_t>(qRed(src[x])),
                           static_cast<std::uint8_t>(qGreen(src[x])),
                           static_cast<std::uint8_t>(qBlue(src[x])));
    }
    return picture;
}
