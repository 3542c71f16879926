#include "preview/preview_rules.h"

#include "imaging/picture_files.h"
#include "imaging/scale_to_fit.h"

namespace {
constexpr int kPointerGap = 30;
} // namespace

bool IsPreviewPicturePath(const QString& path) {
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || path.indexOf(QLatin1Char('/'), dot) >= 0)
        return false;
    // Lower-cased ASCII letters only, as the rule has it: no locale folds.
    QByteArray extension = path.mid(dot).toUtf8();
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return extension == ".jpg" || extension == ".jpeg" || extension == ".bmp";
}

Picture LoadPreviewPicture(const QString& path, int size) {
    if (PictureKind(path) == PictureFileKind::Bitmap) {
        Picture picture = LoadBmpFile(path);
        ScaleToFit(picture, size, size);
        return picture;
    }
    return LoadJpegScaledToFit(path, size);
}

QPoint PreviewPlacement(QPoint pointer, QSize popupFrame, int mainTop, int mainHeight) {
    const int width = popupFrame.width();
    const int height = popupFrame.height();
    const int left = pointer.x() - (width + kPointerGap) < 0 ? pointer.x() + kPointerGap
                                                             : pointer.x() - width - kPointerGap;
    const int top = pointer.y() - mainTop + height > mainHeight - kPointerGap
                        ? mainTop + mainHeight - height - kPointerGap
                        : pointer.y();
    return {left, top};
}
