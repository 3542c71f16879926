#pragma once
// A tab widget as tall as the page it shows, not as its tallest page: a page
// that needs more height at a small window takes it only while it is shown,
// so the others leave that room to the browser above them.

#include <QTabWidget>

class CurrentPageTabWidget : public QTabWidget {
public:
    explicit CurrentPageTabWidget(QWidget* parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    QSize forCurrentPage(QSize whole, QSize (QWidget::*hint)() const) const;
};
