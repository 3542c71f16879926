#pragma once
// The order in which Tab walks a window's controls, taken from its layouts:
// each layout's controls in the order it places them (a row left to right,
// a column top to bottom, a grid row by row), a container's controls before
// the next container's. Qt's own order is the order of creation, which
// breaks as soon as a control is made again later (a rebuilt radio group) or
// a page is built out of its visual order.
//
// Widgets placed without a layout follow their position, top to bottom and
// left to right.

#include <QList>

class QWidget;

// The controls below `root` that Tab reaches, in layout order.
QList<QWidget*> ControlsInLayoutOrder(QWidget& root);

// Chains the focus of those controls in that order.
void ArrangeTabOrder(QWidget& root);
