#pragma once
// The layout arithmetic of the message dialog, free of widgets and fonts: the
// caller measures the average character size, the wrapped message and the
// button captions; this turns the measures into the dialog's geometry. All
// dialog units are multiply-then-divide, rounded to the nearest pixel.

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <vector>

// The icon is always drawn at this size, and a message with an icon stands in
// a block at least this high.
inline constexpr int kMessageIconSize = 32;

struct MessageLayoutInput {
    QSize averageChar;             // AverageCharSize of the dialog font
    QSize textSize;                // the message, wrapped within half the screen width
    bool hasIcon = false;          // kinds 0..3
    std::vector<int> cachedWidths; // ButtonWidthCache entry of each requested button, in order
    QSize screen;                  // screen size in pixels
};

struct MessageLayout {
    int horizontalMargin = 0;
    int verticalMargin = 0;
    int horizontalSpacing = 0;
    int verticalSpacing = 0;
    int buttonWidth = 0;
    int buttonHeight = 0;
    int buttonSpacing = 0;

    QSize block;            // icon and text together
    int buttonRowWidth = 0; // all buttons with their spacing
    QSize client;           // the dialog's client area
    QPoint windowPos;       // centred on the screen
    QRect icon;             // empty when there is no icon
    QRect message;
    QList<QRect> buttons; // one per requested button, left to right
};

MessageLayout LayOutMessageDialog(const MessageLayoutInput& in);
