#pragma once
// The rules of the pop-up preview that need no window: which files it shows,
// the picture it shows for one, and where it stands beside the pointer.

#include "imaging/picture.h"

#include <QPoint>
#include <QSize>
#include <QString>

// ".jpg", ".jpeg" or ".bmp" as the last extension, ASCII letters in any case.
bool IsPreviewPicturePath(const QString& path);

// The picture scaled so that its long side is `size`, smaller ones enlarged.
// JPEG files are decoded in the codec's fast DCT-scaled mode straight at the
// preview size. Throws KelvastoError when the file cannot be read.
Picture LoadPreviewPicture(const QString& path, int size);

// The pop-up's top-left corner for the pointer at `pointer` (screen): 30
// pixels left of it unless that crosses the screen's left edge, then 30 right
// of it; its top at the pointer unless its bottom would come closer than 30
// pixels to the main window's bottom edge.
QPoint PreviewPlacement(QPoint pointer, QSize popupFrame, int mainTop, int mainHeight);
