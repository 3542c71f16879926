#pragma once
// Conversions between Picture and QImage for drawing and for pictures that
// arrive as QImage (painted sheets, scaled previews).

#include "imaging/picture.h"

#include <QImage>

// Format_RGB32, opaque, the format QPainter draws fastest.
QImage ToQImage(const Picture& picture);
// Any format; alpha is dropped (composed over nothing). A null image gives an
// empty picture.
Picture FromQImage(const QImage& image);
