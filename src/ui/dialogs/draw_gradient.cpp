// Interim gradient: a plain linear fill.
#include "ui/dialogs/draw_gradient.h"

#include <QLinearGradient>
#include <QPainter>

#include <stdexcept>

void DrawGradient(QPainter& painter, const QRect& rect, bool horizontal, const QList<QColor>& colours) {
    if (colours.size() < 2)
        throw std::domain_error("Es müssen mindestens zwei Farben angegeben werden.");
    QLinearGradient g(rect.topLeft(), horizontal ? rect.topRight() : rect.bottomLeft());
    for (int i = 0; i < colours.size(); ++i)
        g.setColorAt(double(i) / (colours.size() - 1), colours[i]);
    painter.fillRect(rect, g);
}
