#include "ui/widgets/current_page_tab_widget.h"

#include <algorithm>

CurrentPageTabWidget::CurrentPageTabWidget(QWidget* parent) : QTabWidget(parent) {
    connect(this, &QTabWidget::currentChanged, this, [this] { updateGeometry(); });
}

QSize CurrentPageTabWidget::sizeHint() const {
    return forCurrentPage(QTabWidget::sizeHint(), &QWidget::sizeHint);
}

QSize CurrentPageTabWidget::minimumSizeHint() const {
    return forCurrentPage(QTabWidget::minimumSizeHint(), &QWidget::minimumSizeHint);
}

// Qt's hint is the tallest page's plus the tab bar and frame; the width stays
// that of the widest page, so switching tabs never changes the window's width.
QSize CurrentPageTabWidget::forCurrentPage(QSize whole, QSize (QWidget::*hint)() const) const {
    const QWidget* shown = currentWidget();
    if (!shown)
        return whole;
    int tallest = 0;
    for (int i = 0; i < count(); ++i)
        if (const QWidget* page = widget(i); page && isTabVisible(i))
            tallest = std::max(tallest, (page->*hint)().height());
    const int own = std::max(0, (shown->*hint)().height());
    whole.setHeight(whole.height() - tallest + own);
    return whole;
}
