#include "ui/main_window/toolbar_icons.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

#include <functional>

namespace {

QIcon Drawn(const std::function<void(QPainter&)>& draw) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    return QIcon(pixmap);
}

QIcon Squares(int cells, int gap) {
    return Drawn([=](QPainter& p) {
        const int size = (16 - gap * (cells - 1)) / cells;
        p.setPen(QColor(40, 70, 140));
        p.setBrush(QColor(120, 160, 230));
        for (int y = 0; y < cells; ++y)
            for (int x = 0; x < cells; ++x)
                p.drawRect(x * (size + gap), y * (size + gap), size - 1, size - 1);
    });
}

QIcon Lines(bool withBullets, bool columns) {
    return Drawn([=](QPainter& p) {
        for (int row = 0; row < 4; ++row) {
            const int y = 2 + row * 4;
            if (withBullets) {
                p.fillRect(1, y - 1, 3, 3, QColor(120, 160, 230));
                p.fillRect(6, y, 9, 1, QColor(50, 50, 50));
            } else {
                p.fillRect(1, y, 14, 1, QColor(50, 50, 50));
            }
            if (columns)
                p.fillRect(9, y - 1, 1, 3, QColor(140, 140, 140));
        }
    });
}

QIcon Lettered(const QString& letters, const QColor& colour) {
    return Drawn([=](QPainter& p) {
        p.setBrush(colour);
        p.setPen(colour.darker(150));
        p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
        QFont font = p.font();
        font.setPixelSize(letters.size() > 1 ? 8 : 11);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, letters);
    });
}

QIcon Standard(QStyle::StandardPixmap pixmap) {
    return QApplication::style()->standardIcon(pixmap);
}

} // namespace

QIcon ToolbarIcon(int slot) {
    switch (slot) {
    case 0:
        return Squares(2, 2);
    case 1:
        return Squares(3, 1);
    case 2:
        return Lines(true, false);
    case 3:
        return Lines(false, true);
    case 4:
        return Standard(QStyle::SP_DialogOpenButton);
    case 5:
        return Standard(QStyle::SP_DialogSaveButton);
    case 6:
        return Standard(QStyle::SP_MessageBoxInformation);
    case 7:
        return Standard(QStyle::SP_DialogHelpButton);
    case 8:
        return Standard(QStyle::SP_ArrowBack);
    case 9:
        return Standard(QStyle::SP_BrowserReload);
    case 10:
        return Lettered(QStringLiteral("DE"), QColor(60, 120, 60));
    case 11:
        return Lettered(QStringLiteral("O"), QColor(90, 90, 110));
    case 12:
        return Standard(QStyle::SP_DialogCloseButton);
    case 13:
        return Standard(QStyle::SP_TrashIcon);
    case 14:
        return Lettered(QStringLiteral("X"), QColor(190, 40, 40));
    case 15:
        return Lettered(QStringLiteral("A"), QColor(40, 90, 170));
    case 16:
        return Squares(3, 1);
    case 17:
        return Lettered(QStringLiteral("?"), QColor(200, 120, 20));
    case 18:
        return Lettered(QStringLiteral("-"), QColor(40, 140, 120));
    default:
        return {};
    }
}
