#include "ui/dialogs/draw_gradient.h"

#include <QPainter>

GradientColourError::GradientColourError()
    : std::domain_error("Es müssen mindestens zwei Farben angegeben werden.") {}

int GradientStepLength(int size, int steps) {
    if (steps <= 0 || size <= 0)
        return 0;
    const int quotient = size / steps;
    const int twiceRemainder = 2 * (size % steps);
    if (twiceRemainder > steps || (twiceRemainder == steps && quotient % 2 != 0))
        return quotient + 1;
    return quotient;
}

namespace {

int Channel(int start, int end, int p, int length) {
    // start + (end - start) * p / length, truncated; the value lies between
    // start and end, so it is never negative and division truncates correctly.
    const long long numerator = (long long)start * length + (long long)(end - start) * p;
    return int(numerator / length);
}

} // namespace

QColor GradientLineColour(const QColor& start, const QColor& end, int p, int length) {
    const QColor s = start.toRgb();
    if (length <= 0)
        return QColor(s.red(), s.green(), s.blue());
    const QColor e = end.toRgb();
    return QColor(Channel(s.red(), e.red(), p, length), Channel(s.green(), e.green(), p, length),
                  Channel(s.blue(), e.blue(), p, length));
}

std::vector<GradientLine> GradientLines(int size, const QList<QColor>& colours) {
    if (colours.size() < 2)
        throw GradientColourError();
    std::vector<GradientLine> lines;
    const int steps = int(colours.size()) - 1;
    const int step = GradientStepLength(size, steps);
    for (int i = 0; i < steps; ++i) {
        const int length = i == steps - 1 ? size - i * step - 1 : step;
        for (int p = 0; p <= length; ++p) {
            const int position = i * step + p;
            if (position < 0 || position >= size)
                continue;
            lines.push_back({position, GradientLineColour(colours[i], colours[i + 1], p, length)});
        }
    }
    return lines;
}

void DrawGradient(QPainter& painter, const QRect& rect, bool horizontal,
                  const QList<QColor>& colours) {
    const int size = horizontal ? rect.width() : rect.height();
    const std::vector<GradientLine> lines = GradientLines(size, colours);
    for (const GradientLine& line : lines) {
        const QRect strip = horizontal
                                ? QRect(rect.left() + line.position, rect.top(), 1, rect.height())
                                : QRect(rect.left(), rect.top() + line.position, rect.width(), 1);
        painter.fillRect(strip, line.colour);
    }
}

QList<QColor> WhiteToSilver() {
    return {QColor(255, 255, 255), QColor(192, 192, 192)};
}
