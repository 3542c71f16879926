#include "ui/dialogs/select_dir_layout.h"

#include "ui/dialogs/mul_div.h"

#include <QDir>

namespace {

int Scale(int v, int dpi) {
    return MulDivRound(v, dpi, kDesignDpi);
}

QRect Scale(const QRect& r, int dpi) {
    return QRect(Scale(r.x(), dpi), Scale(r.y(), dpi), Scale(r.width(), dpi),
                 Scale(r.height(), dpi));
}

} // namespace

SelectDirLayout SelectDirLayoutFor(int dpi, QSize screen) {
    SelectDirLayout l;
    l.client = QSize(280, 320);
    l.label = QRect(15, 10, 250, 26);
    l.tree = QRect(15, 48, 250, 225);
    l.okButton = QRect(20, 285, 100, 25);
    l.noButton = QRect(125, 285, 30, 25);
    l.abortButton = QRect(160, 285, 100, 25);
    if (dpi != kDesignDpi && dpi > 0) {
        l.client = QSize(Scale(l.client.width(), dpi), Scale(l.client.height(), dpi));
        for (QRect* r : {&l.label, &l.tree, &l.okButton, &l.noButton, &l.abortButton})
            *r = Scale(*r, dpi);
    }
    l.windowPos = QPoint(screen.width() / 2 - l.client.width() / 2,
                         screen.height() / 2 - l.client.height() / 2);
    return l;
}

QString PreselectedFolder(const QString& directory, const QString& currentDir) {
    if (directory.isEmpty())
        return QString();
    return QDir::cleanPath(QDir(currentDir).absoluteFilePath(directory));
}
