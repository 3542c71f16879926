#pragma once
// The items of the icon views (large icons, small icons, list) at a cost a
// large folder can afford. A view asks every item for its size each time it
// lays the list out, and Qt's delegate lays the item's text out to answer,
// tens of microseconds an item. Here an item of the large-icon view is its
// grid cell, and a list item's width is a sample item's width less the
// sample's text, plus the item's own text: summed from the advances of its
// characters for a plain ASCII name (kerning only ever narrows those), the
// font's own measure for any other.

#include <QFont>
#include <QStyledItemDelegate>

#include <array>

class QListView;

class FileItemDelegate : public QStyledItemDelegate {
public:
    explicit FileItemDelegate(QListView* view);

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

protected:
    QListView* view() const { return m_view; }

private:
    // What a list item's size depends on besides its text.
    struct Calibration {
        QFont font;
        QSize decorationSize;
        int features = -1;
        int width = 0; // the item less its text
        int height = 0;
        std::array<qreal, 128> advances{};
    };
    void calibrate(const QStyleOptionViewItem& option, const QModelIndex& index) const;
    // -1 for a text with control characters.
    int textWidth(const QString& text) const;

    QListView* m_view;
    mutable Calibration m_calibration;
};
