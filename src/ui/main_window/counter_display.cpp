#include "ui/main_window/counter_display.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

#include <utility>

CounterDisplay::CounterDisplay() {
    m_timer.setSingleShot(true);
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &CounterDisplay::flush);
}

void CounterDisplay::setText(QWidget* control, const QString& text) {
    m_texts.insert(control, {control, text});
    schedule();
}

void CounterDisplay::setProgressValue(QWidget* bar, int value) {
    m_values.insert(bar, {bar, value});
    schedule();
}

void CounterDisplay::schedule() {
    if (!m_timer.isActive())
        m_timer.start();
}

void CounterDisplay::flush() {
    m_timer.stop();
    const auto texts = std::exchange(m_texts, {});
    const auto values = std::exchange(m_values, {});
    for (const Pending<QString>& pending : texts) {
        QWidget* widget = pending.control.data();
        if (auto* label = qobject_cast<QLabel*>(widget))
            label->setText(pending.value);
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            button->setText(pending.value);
        else if (auto* field = qobject_cast<QLineEdit*>(widget))
            field->setText(pending.value);
    }
    for (const Pending<int>& pending : values)
        if (auto* bar = qobject_cast<QProgressBar*>(pending.control.data()))
            bar->setValue(pending.value);
}
