#include "imaging/scale_to_fit.h"

#include "base/errors.h"
#include "imaging/jpeg_codec.h"
#include "imaging/jpeg_dc_scans.h"
#include "imaging/picture_files.h"
#include "imaging/resample.h"

#include <algorithm>

namespace {

int truncatedSide(int limit, double ratio) {
    return std::max(1, static_cast<int>(limit * ratio));
}

// Eighth scale is enough: each block becomes one pixel.
bool eighthIsEnough(const JpegSize& full, const JpegDecodeOptions& options) {
    return (full.width + 7) / 8 >= options.minWidth && (full.height + 7) / 8 >= options.minHeight;
}

Picture decodeScaled(const QByteArray& data, const JpegDecodeOptions& options) {
    const JpegSize full = ReadJpegSize(data);
    if (full.progressive && eighthIsEnough(full, options)) {
        const QByteArray averages = WithoutDetailScans(data);
        if (!averages.isEmpty()) {
            try {
                return DecodeJpeg(averages, options);
            } catch (const KelvastoError&) {
                // Whatever confused the shortened file, the whole one decides.
            }
        }
    }
    return DecodeJpeg(data, options);
}

} // namespace

FitSize ScaledFitSize(int width, int height, int widthLimit, int heightLimit) {
    if (width <= 0 || height <= 0 || widthLimit <= 0 || heightLimit <= 0)
        throw KelvastoError("cannot scale to fit: sides and limits must be positive");
    if (height >= width) {
        const double ratio = static_cast<double>(width) / height;
        return {truncatedSide(heightLimit, ratio), heightLimit};
    }
    const double ratio = static_cast<double>(height) / width;
    return {widthLimit, truncatedSide(widthLimit, ratio)};
}

void ScaleToFit(Picture& picture, int widthLimit, int heightLimit) {
    if (picture.isEmpty())
        return;
    const FitSize size = ScaledFitSize(picture.width(), picture.height(), widthLimit, heightLimit);
    picture = ResamplePicture(picture, size.width, size.height);
}

Picture DecodeJpegAtLeast(const QByteArray& data, FitSize size) {
    JpegDecodeOptions options;
    options.fast = true;
    options.minWidth = size.width;
    options.minHeight = size.height;
    return decodeScaled(data, options);
}

Picture DecodeJpegAtSize(const QByteArray& data, FitSize size) {
    Picture decoded = DecodeJpegAtLeast(data, size);
    if (decoded.width() == size.width && decoded.height() == size.height)
        return decoded;
    return ResamplePicture(decoded, size.width, size.height);
}

Picture LoadJpegScaledToFit(const QString& path, int limit) {
    const QByteArray data = ReadPictureFile(path);
    const JpegSize full = ReadJpegSize(data);
    return DecodeJpegAtSize(data, ScaledFitSize(full.width, full.height, limit, limit));
}
