#include "ui/dialogs/gradient_panel.h"

#include "app/error_handler.h"
#include "imaging/contrast.h"
#include "ui/dialogs/draw_gradient.h"

#include <QPainter>

void UseGradientTextColour(QWidget& widget) {
    const QList<QColor> colours = WhiteToSilver();
    const QColor middle((colours.first().red() + colours.last().red()) / 2,
                        (colours.first().green() + colours.last().green()) / 2,
                        (colours.first().blue() + colours.last().blue()) / 2);
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, ContrastingTextColour(middle));
    widget.setPalette(palette);
}

GradientPanel::GradientPanel(QWidget* parent, bool horizontal)
    : QWidget(parent), m_horizontal(horizontal) {
    UseGradientTextColour(*this);
}

void GradientPanel::paintEvent(QPaintEvent*) {
    GuardedHandler(this, [&] {
        QPainter painter(this);
        DrawGradient(painter, rect(), m_horizontal, WhiteToSilver());
    });
}
