#include "ui/dialogs/message_layout.h"

#include "ui/dialogs/mul_div.h"

#include <algorithm>

namespace {

// Dialog units: horizontal ones are quarters of the average character width,
// vertical ones eighths of its height.
void SetUnits(MessageLayout& l, QSize ch) {
    const int x = ch.width();
    const int y = ch.height();
    l.horizontalMargin = MulDivRound(8, x, 4);
    l.verticalMargin = MulDivRound(8, y, 8);
    l.horizontalSpacing = MulDivRound(10, x, 4);
    l.verticalSpacing = MulDivRound(10, y, 8);
    l.buttonWidth = MulDivRound(50, x, 4);
    l.buttonHeight = MulDivRound(14, y, 8);
    l.buttonSpacing = MulDivRound(4, x, 4);
}

} // namespace

MessageLayout LayOutMessageDialog(const MessageLayoutInput& in) {
    MessageLayout l;
    SetUnits(l, in.averageChar);

    // All buttons of one dialog share the widest width.
    for (int cached : in.cachedWidths)
        l.buttonWidth = std::max(l.buttonWidth, cached);

    l.block = in.textSize;
    if (in.hasIcon) {
        l.block.rwidth() += kMessageIconSize + l.horizontalSpacing;
        l.block.rheight() = std::max(l.block.height(), kMessageIconSize);
    }

    const int n = int(in.cachedWidths.size());
    l.buttonRowWidth = n == 0 ? 0 : n * l.buttonWidth + (n - 1) * l.buttonSpacing;

    l.client.setWidth(std::max(l.block.width(), l.buttonRowWidth) + 2 * l.horizontalMargin);
    l.client.setHeight(l.block.height() + l.buttonHeight + l.verticalSpacing +
                       2 * l.verticalMargin);
    l.windowPos = QPoint(in.screen.width() / 2 - l.client.width() / 2,
                         in.screen.height() / 2 - l.client.height() / 2);

    if (in.hasIcon)
        l.icon = QRect(l.horizontalMargin, l.verticalMargin, kMessageIconSize, kMessageIconSize);
    // Behind the icon and its spacing, or at the margin without an icon.
    l.message = QRect(l.block.width() - in.textSize.width() + l.horizontalMargin, l.verticalMargin,
                      in.textSize.width(), in.textSize.height());

    int left = (l.client.width() - l.buttonRowWidth) / 2;
    const int top = l.block.height() + l.verticalMargin + l.verticalSpacing;
    for (int i = 0; i < n; ++i) {
        l.buttons.append(QRect(left, top, l.buttonWidth, l.buttonHeight));
        left += l.buttonWidth + l.buttonSpacing;
    }
    return l;
}
