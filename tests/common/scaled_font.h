#pragma once
// The application font made `scale` times larger for one test, as a desktop
// with a larger font size gives it; the former font comes back at scope end.

#include <QApplication>
#include <QFont>

class ScaledApplicationFont {
public:
    explicit ScaledApplicationFont(double scale) : m_former(QApplication::font()) {
        QFont font = m_former;
        if (font.pointSizeF() > 0)
            font.setPointSizeF(font.pointSizeF() * scale);
        else
            font.setPixelSize(qRound(font.pixelSize() * scale));
        QApplication::setFont(font);
    }
    ~ScaledApplicationFont() { QApplication::setFont(m_former); }
    ScaledApplicationFont(const ScaledApplicationFont&) = delete;
    ScaledApplicationFont& operator=(const ScaledApplicationFont&) = delete;

private:
    QFont m_former;
};
