#pragma once
// The colour gradient behind the program's own dialogs.
//
// With n + 1 colours the area has n steps; a step is the area's size divided
// by n, rounded to the nearest pixel (halves to even), the last step takes
// what is left minus one. Within a step of length L, line p gets
// start + (end - start) * p / L in each channel, truncated; the first and the
// last line of a step carry exactly its two colours. A step's last line and the
// next step's first line fall on the same position; the later one wins. Lines
// that would fall outside the area are not drawn.

#include <QColor>
#include <QList>
#include <QRect>

#include <stdexcept>
#include <vector>

class QPainter;

// The failure for fewer than two colours. Its what() is the UTF-8 text
// "Es müssen mindestens zwei Farben angegeben werden.".
class GradientColourError : public std::domain_error {
public:
    GradientColourError();
};

// size / steps rounded to the nearest integer, halves to even; 0 for no steps.
int GradientStepLength(int size, int steps);

// The colour of line p (0..length) of a step from `start` to `end`. Computed
// exactly in integers, so a channel never falls one below its true value
// through floating rounding. A step of length 0 draws its start colour.
QColor GradientLineColour(const QColor& start, const QColor& end, int p, int length);

struct GradientLine {
    int position; // 0-based offset from the area's left (or top) edge
    QColor colour;
};

// Every line in drawing order, so a later line at the same position wins.
// Throws GradientColourError for fewer than two colours.
std::vector<GradientLine> GradientLines(int size, const QList<QColor>& colours);

// Paints `colours` across `rect`: left to right when horizontal (vertical
// lines), else top to bottom (horizontal lines). Throws GradientColourError
// with fewer than two colours, drawing nothing.
void DrawGradient(QPainter& painter, const QRect& rect, bool horizontal,
                  const QList<QColor>& colours);

// The white-to-silver pair that every dialog and panel of the program uses.
QList<QColor> WhiteToSilver();
