#include "ui/features/editor/fit_editor_images.h"

#include <algorithm>

EditorImageLayout FitEditorImages(const QSize& leftPane, const QSize& rightPane, int pictureHeight,
                                  int pictureWidth) {
    // A picture without pixels has no ratio; treat it as the 1 x 1 start size
    // rather than dividing by zero.
    const int h = pictureHeight > 0 ? pictureHeight : 1;
    const int w = pictureWidth > 0 ? pictureWidth : 1;
    const int maxH = leftPane.height() - 4;
    const int maxW = leftPane.width() - 4;
    int side = std::min(maxH, maxW);
    int width = 0;
    int height = 0;
    if (h >= w) {
        const double ratio = double(w) / h;
        const int t = int((maxW - side * ratio) / ratio);
        side += std::min(maxH - side, t);
        height = side;
        width = int(side * ratio);
    } else {
        const double ratio = double(h) / w;
        const int t = int((maxH - side * ratio) / ratio);
        side += std::min(maxW - side, t);
        width = side;
        height = int(side * ratio);
    }
    // A pane smaller than its border leaves nothing to show.
    width = std::max(0, width);
    height = std::max(0, height);
    auto centred = [&](const QSize& pane) {
        return QRect((pane.width() - width) / 2, (pane.height() - height) / 2, width, height);
    };
    return {centred(leftPane), centred(rightPane)};
}
