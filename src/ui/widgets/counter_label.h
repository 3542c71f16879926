#pragma once
// A number on a progress page (files to test, files tested, savings ...). A
// screen reader names it by its caption, the label whose buddy it is, and
// reads the number with it: "Getestete Dateien 42" rather than a bare "42".

#include <QLabel>

class CounterLabel : public QLabel {
    Q_OBJECT
public:
    explicit CounterLabel(QWidget* parent = nullptr);

    // The label whose buddy this counter is; null when none.
    QLabel* caption() const;
};
