#include "ui/main_window/counter_display.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

CounterDisplay::CounterDisplay(QWidget& window) : m_window(window) {
    m_timer.setSingleShot(true);
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &CounterDisplay::flush);
}

void CounterDisplay::setText(const QString& control, const QString& text) {
    m_texts.insert(control, text);
    schedule();
}

void CounterDisplay::setProgressValue(const QString& bar, int value) {
    m_values.insert(bar, value);
    schedule();
}

void CounterDisplay::schedule() {
    // The timer runs when the job lets events through, once per file.
    if (!m_timer.isActive())
        m_timer.start();
}

QWidget* CounterDisplay::control(const QString& name) {
    QPointer<QWidget>& cached = m_controls[name];
    if (!cached)
        cached = m_window.findChild<QWidget*>(name);
    return cached;
}

void CounterDisplay::flush() {
    m_timer.stop();
    const QHash<QString, QString> texts = std::exchange(m_texts, {});
    const QHash<QString, int> values = std::exchange(m_values, {});
    for (auto it = texts.begin(); it != texts.end(); ++it) {
        QWidget* widget = control(it.key());
        if (auto* label = qobject_cast<QLabel*>(widget))
            label->setText(it.value());
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            button->setText(it.value());
        else if (auto* field = qobject_cast<QLineEdit*>(widget))
            field->setText(it.value());
    }
    for (auto it = values.begin(); it != values.end(); ++it)
        if (auto* bar = qobject_cast<QProgressBar*>(control(it.key())))
            bar->setValue(it.value());
}
