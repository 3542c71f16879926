#pragma once
// The editor's two pictures: the largest size with the picture's aspect ratio
// that fits the left pane less a 2-pixel border on each side, centred in each
// pane. Both pictures get the same size.

#include <QRect>
#include <QSize>

struct EditorImageLayout {
    QRect left;  // EinzelImage01 within EinzelNotebook01a
    QRect right; // EinzelImage02 within EinzelNotebook01b
};

// `pictureHeight`/`pictureWidth` are the loaded picture's size (1 x 1 before
// any picture is loaded).
EditorImageLayout FitEditorImages(const QSize& leftPane, const QSize& rightPane, int pictureHeight,
                                  int pictureWidth);
