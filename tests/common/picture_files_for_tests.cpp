#include "common/picture_files_for_tests.h"

#include "common/test_env.h"
#include "imaging/picture_files.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdint>
#include <random>

namespace testing {

Picture photoLike(int width, int height, unsigned seed) {
    Picture picture(width, height);
    std::minstd_rand random(seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setRgb(x, y, std::uint8_t(120 + (x * 100) / width + random() % 12),
                           std::uint8_t((y * 150) / height + random() % 12),
                           std::uint8_t(60 + random() % 30));
    return picture;
}

QByteArray bmpBytes(const Picture& picture) {
    const int stride = int(PictureStride(picture.width()));
    const int dataSize = stride * picture.height();
    QByteArray bytes;
    auto put = [&bytes](std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes.append(char((value >> (8 * i)) & 0xFF));
    };
    bytes.append("BM");
    put(54 + dataSize, 4);
    put(0, 4);
    put(54, 4);
    put(40, 4);
    put(picture.width(), 4);
    put(picture.height(), 4);
    put(1, 2);
    put(24, 2);
    put(0, 4);
    put(dataSize, 4);
    put(2835, 4);
    put(2835, 4);
    put(0, 4);
    put(0, 4);
    for (int y = picture.height() - 1; y >= 0; --y)
        bytes.append(reinterpret_cast<const char*>(picture.row(y)), stride);
    return bytes;
}

QByteArray jpegBytes(const Picture& picture) {
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/enc-XXXXXX"));
    const QString path = dir.path() + QStringLiteral("/p.jpg");
    SaveAsJpeg(picture, path);
    return readFile(path);
}

void writePictureFile(const QString& path, const Picture& picture) {
    if (path.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive))
        writeFile(path, bmpBytes(picture));
    else
        SaveAsJpeg(picture, path);
}

} // namespace testing
