#include "ui/file_list/icon_halo.h"

#include "imaging/contrast.h"

#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QStyleOptionViewItem>

#include <algorithm>

namespace {

// Icons and tiles are few: a list shows a handful of file types, and the
// built-in textures are five.
constexpr qsizetype kMaxCached = 256;

QImage HaloAround(const QImage& picture, const QColor& colour) {
    QImage halo(picture.size(), QImage::Format_ARGB32_Premultiplied);
    halo.fill(Qt::transparent);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            int alpha = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (picture.valid(x + dx, y + dy))
                        alpha = std::max(alpha, qAlpha(picture.pixel(x + dx, y + dy)));
            QColor pixel = colour;
            pixel.setAlpha(alpha);
            halo.setPixelColor(x, y, pixel);
        }
    QPainter painter(&halo);
    painter.drawImage(0, 0, picture);
    return halo;
}

QColor SurfaceOf(const QBrush& base) {
    static QHash<qint64, QColor> means;
    const QImage tile = base.textureImage();
    if (tile.isNull())
        return QColor();
    auto found = means.constFind(tile.cacheKey());
    if (found == means.cend()) {
        if (means.size() >= kMaxCached)
            means.clear();
        found = means.insert(tile.cacheKey(), MeanColour(tile));
    }
    return *found;
}

} // namespace

QColor IconInk(const QIcon& icon, QSize size) {
    const QImage picture = icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
    double red = 0, green = 0, blue = 0, weight = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QColor pixel = picture.pixelColor(x, y);
            red += pixel.redF() * pixel.alphaF();
            green += pixel.greenF() * pixel.alphaF();
            blue += pixel.blueF() * pixel.alphaF();
            weight += pixel.alphaF();
        }
    if (weight <= 0)
        return QColor();
    return QColor::fromRgbF(float(red / weight), float(green / weight), float(blue / weight));
}

QIcon IconVisibleOn(const QIcon& icon, const QColor& surface, QSize size) {
    if (icon.isNull() || !surface.isValid() || size.isEmpty())
        return icon;
    // A theme icon keeps its key when the theme changes under it.
    static QHash<QString, QIcon> made;
    const QString key =
        QStringLiteral("%1 %2 %3x%4 %5")
            .arg(icon.cacheKey())
            .arg(surface.rgb())
            .arg(size.width())
            .arg(size.height())
            .arg(QIcon::themeName() + QLatin1Char('/') + QIcon::fallbackThemeName());
    if (auto found = made.constFind(key); found != made.cend())
        return *found;
    if (made.size() >= kMaxCached)
        made.clear();
    const QColor ink = IconInk(icon, size);
    QIcon shown = icon;
    if (ink.isValid() && ContrastRatio(ink, surface) < kVisibleIconContrast) {
        const QPixmap pixmap = icon.pixmap(size);
        QPixmap halo = QPixmap::fromImage(
            HaloAround(pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                       ContrastingTextColour(surface)));
        halo.setDevicePixelRatio(pixmap.devicePixelRatio());
        shown = QIcon(halo);
    }
    made.insert(key, shown);
    return shown;
}

void KeepIconVisible(QStyleOptionViewItem& option) {
    if (!(option.features & QStyleOptionViewItem::HasDecoration))
        return;
    const QColor surface = SurfaceOf(option.palette.brush(QPalette::Base));
    if (surface.isValid())
        option.icon = IconVisibleOn(option.icon, surface, option.decorationSize);
}
