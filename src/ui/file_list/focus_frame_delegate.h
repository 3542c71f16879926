#pragma once
// The file list's items with a focus frame that stands out on any texture:
// the style's own dotted or faint frame vanishes on a patterned background,
// so the item with the keyboard focus gets a two-pixel frame in the colour
// of its text, which the list keeps readable against the background.

#include <QStyledItemDelegate>

class FocusFrameDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

protected:
    // The item's icon with a halo where it would vanish on the texture.
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

public:
    // Draws the frame when `option` is the item with the keyboard focus.
    static void PaintFocusFrame(QPainter* painter, const QStyleOptionViewItem& option);
};
