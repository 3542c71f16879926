#include "ui/widgets/elided_path_field.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {
// QLineEdit's own margin between its frame and its text.
constexpr int kTextMargin = 2;
} // namespace

ElidedPathField::ElidedPathField(QWidget* parent) : QLineEdit(parent) {
    setReadOnly(true);
    connect(this, &QLineEdit::textChanged, this, [this](const QString& path) {
        setToolTip(path);
        update();
    });
}

QRect ElidedPathField::textArea() const {
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &panel, this);
    return contents.adjusted(kTextMargin, 0, -kTextMargin, 0);
}

QString ElidedPathField::shownText() const {
    return fontMetrics().elidedText(text(), Qt::ElideLeft, textArea().width());
}

void ElidedPathField::paintEvent(QPaintEvent* event) {
    if (hasFocus()) {
        QLineEdit::paintEvent(event);
        return;
    }
    QPainter painter(this);
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    painter.drawText(textArea(), Qt::AlignVCenter | Qt::AlignLeft, shownText());
}
