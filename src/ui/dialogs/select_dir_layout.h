#pragma once
// Geometry of the folder chooser: a 280 x 320 client area designed for 96
// pixels per inch. At any other logical resolution every place and size is
// scaled by resolution / 96 (rounded to nearest) and the dialog is centred
// again. Fonts are not scaled: their point sizes already follow the
// resolution.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

inline constexpr int kDesignDpi = 96;

struct SelectDirLayout {
    QSize client;
    QRect label;
    QRect tree;
    QRect okButton;
    QRect noButton;
    QRect abortButton;
    QPoint windowPos; // centred on a screen of the given size
};

SelectDirLayout SelectDirLayoutFor(int dpi, QSize screen);

// The folder to preselect for `directory`: empty for an empty text, else the
// absolute path (relative ones taken from `currentDir`), cleaned, without a
// trailing "/" except for "/" itself.
QString PreselectedFolder(const QString& directory, const QString& currentDir);
