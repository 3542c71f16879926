#include "ui/widgets/step_spin_box.h"

#include <algorithm>
#include <cmath>

StepSpinBox::StepSpinBox(QWidget* parent) : QSpinBox(parent) {
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

int StepSpinBox::valueFromText(const QString& text) const {
    const int typed = QSpinBox::valueFromText(text);
    const int step = std::max(1, singleStep());
    const double steps = std::round(double(typed - minimum()) / step);
    const int snapped = minimum() + int(steps) * step;
    return std::clamp(snapped, minimum(), maximum());
}
