#pragma once
// A number field with arrows whose value keeps to its steps: a typed number
// is taken to the nearest step within the range (with steps of 5 from 50,
// "123" gives 125), a number left unfinished below the range gives its
// minimum. The arrows work as in any spin box.

#include <QSpinBox>

class StepSpinBox : public QSpinBox {
    Q_OBJECT
public:
    explicit StepSpinBox(QWidget* parent = nullptr);

protected:
    int valueFromText(const QString& text) const override;
};
