#pragma once
// The colour gradient behind the program's own dialogs.

#include <QColor>
#include <QList>
#include <QRect>

class QPainter;

// Paints `colours` across `rect`: left to right when horizontal, else top to
// bottom. Throws std::domain_error ("Es müssen mindestens zwei Farben angegeben
// werden.") with fewer than two colours, drawing nothing.
void DrawGradient(QPainter& painter, const QRect& rect, bool horizontal,
                  const QList<QColor>& colours);
