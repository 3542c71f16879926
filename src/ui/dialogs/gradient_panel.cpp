#include "ui/dialogs/gradient_panel.h"

#include "ui/dialogs/draw_gradient.h"

#include <QPainter>

GradientPanel::GradientPanel(QWidget* parent, bool horizontal)
    : QWidget(parent), m_horizontal(horizontal) {}

void GradientPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    DrawGradient(painter, rect(), m_horizontal, {QColor(255, 255, 255), QColor(192, 192, 192)});
}
