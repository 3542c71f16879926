#include "ui/main_window/toolbar_icons.h"

#include "ui/icons/theme_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace {

// The program's own drawings, for the two slots no themed icon fits; drawn
// at 16 and 32 pixels so they stay sharp in menus and on larger screens.
QIcon Drawn(const std::function<void(QPainter&)>& draw) {
    QIcon icon;
    for (const int size : {16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 16.0, size / 16.0);
        draw(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

// A globe: the language of the interface, whichever it is.
QIcon LanguageIcon() {
    return Drawn([](QPainter& p) {
        const QRectF globe(1.5, 1.5, 13, 13);
        p.setBrush(QColor(61, 174, 233));
        p.setPen(QPen(QColor(29, 99, 148), 1));
        p.drawEllipse(globe);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(240, 248, 255), 0.9));
        p.drawEllipse(QRectF(5, 1.5, 6, 13));
        p.drawLine(QPointF(8, 1.5), QPointF(8, 14.5));
        p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
        p.drawLine(QPointF(2.8, 4.8), QPointF(13.2, 4.8));
        p.drawLine(QPointF(2.8, 11.2), QPointF(13.2, 11.2));
    });
}

// A picture with a torn-off lower corner: the search for cut-off JPEGs.
QIcon DefectScanIcon() {
    return Drawn([](QPainter& p) {
        QPainterPath sheet;
        sheet.moveTo(1.5, 2.5);
        sheet.lineTo(14.5, 2.5);
        sheet.lineTo(14.5, 8.5);
        sheet.lineTo(12, 10);
        sheet.lineTo(13, 12);
        sheet.lineTo(10.5, 13.5);
        sheet.lineTo(1.5, 13.5);
        sheet.closeSubpath();
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(QColor(250, 250, 250));
        p.drawPath(sheet);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(90, 160, 220)); // sky
        p.drawRect(QRectF(3, 4, 9.5, 4));
        p.setBrush(QColor(80, 160, 80)); // hill
        p.drawPolygon(QPolygonF({QPointF(3, 12), QPointF(6.5, 7.5), QPointF(10, 12)}));
        p.setPen(QPen(QColor(218, 68, 83), 1.6)); // the tear
        p.drawPolyline(
            QPolygonF({QPointF(14.5, 8.5), QPointF(12, 10), QPointF(13, 12), QPointF(10.5, 13.5)}));
    });
}

// Freedesktop names of the themed slots; nullptr: drawn by the program.
constexpr const char* kThemeNames[kToolbarIconCount] = {
    "view-list-icons",   // 0 large icons
    "view-grid",         // 1 small icons
    "view-list-text",    // 2 list
    "view-list-details", // 3 details
    "document-open",     // 4 load picture
    "document-save",     // 5 save picture
    "help-about",        // 6 info
    "help-contents",     // 7 help
    "edit-undo",         // 8 undo
    "view-refresh",      // 9 refresh
    nullptr,             // 10 language
    "configure",         // 11 options
    "application-exit",  // 12 quit
    "edit-delete-shred", // 13 uninstall
    "edit-delete",       // 14 delete
    "edit-select-all",   // 15 mark all
    "view-preview",      // 16 index pictures
    nullptr,             // 17 search defective files
    "zoom-out",          // 18 reduce files
};

} // namespace

const char* ToolbarIconThemeName(int slot) {
    return slot >= 0 && slot < kToolbarIconCount ? kThemeNames[slot] : nullptr;
}

QIcon ToolbarIcon(int slot) {
    if (slot == 10)
        return LanguageIcon();
    if (slot == 17)
        return DefectScanIcon();
    const char* name = ToolbarIconThemeName(slot);
    return name ? ThemeIcon(name) : QIcon();
}
