#include "ui/dialogs/gradient_panel.h"

#include "app/error_handler.h"
#include "ui/dialogs/draw_gradient.h"

#include <QPainter>

GradientPanel::GradientPanel(QWidget* parent, bool horizontal)
    : QWidget(parent), m_horizontal(horizontal) {}

void GradientPanel::paintEvent(QPaintEvent*) {
    GuardedHandler(this, [&] {
        QPainter painter(this);
        DrawGradient(painter, rect(), m_horizontal, WhiteToSilver());
    });
}
