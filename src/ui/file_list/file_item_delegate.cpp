#include "ui/file_list/file_item_delegate.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QListView>

#include <algorithm>
#include <cmath>

namespace {

// Pixels a list item is given beyond its measured text, against rounding
// between the measure here and the style's own layout of the text.
constexpr int kSlack = 2;
// The large-icon view's items keep this far from their grid cell's edges.
constexpr int kCellMargin = 2;

} // namespace

FileItemDelegate::FileItemDelegate(QListView* view) : QStyledItemDelegate(view), m_view(view) {}

QSize FileItemDelegate::sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    const QSize grid = m_view->gridSize();
    if (m_view->viewMode() == QListView::IconMode && grid.isValid())
        return grid - QSize(2 * kCellMargin, 2 * kCellMargin);
    if (option.font != m_calibration.font ||
        option.decorationSize != m_calibration.decorationSize ||
        int(option.features) != m_calibration.features)
        calibrate(option, index);
    const QString name = index.data(Qt::DisplayRole).toString();
    const int width = textWidth(name);
    // A name with a line break or tab: the style's own measure.
    if (width < 0)
        return QStyledItemDelegate::sizeHint(option, index);
    return {m_calibration.width + width, m_calibration.height};
}

void FileItemDelegate::calibrate(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    Calibration& c = m_calibration;
    c.font = option.font;
    c.decorationSize = option.decorationSize;
    c.features = int(option.features);
    const QFontMetricsF metrics(option.font);
    for (int ch = 0; ch < int(c.advances.size()); ++ch)
        c.advances[std::size_t(ch)] = metrics.horizontalAdvance(QChar(ch));
    // The style's size of an item like this one with a known text.
    QStyleOptionViewItem sample = option;
    initStyleOption(&sample, index);
    sample.text = QStringLiteral("Mx");
    const QWidget* widget = option.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    const QSize natural =
        style->sizeFromContents(QStyle::CT_ItemViewItem, &sample, QSize(), widget);
    c.width = natural.width() - textWidth(sample.text) + kSlack;
    c.height = natural.height();
}

int FileItemDelegate::textWidth(const QString& text) const {
    qreal width = 0;
    for (const QChar ch : text) {
        if (ch.unicode() < 0x20)
            return -1;
        if (ch.unicode() >= m_calibration.advances.size())
            return int(std::ceil(QFontMetricsF(m_calibration.font).horizontalAdvance(text)));
        width += m_calibration.advances[ch.unicode()];
    }
    return int(std::ceil(width));
}
