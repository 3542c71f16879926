#pragma once
// Puts the counters and progress values a job sets once per file on screen,
// at most every kIntervalMs. A job over many small files sets them tens of
// thousands of times a second; painting each of them would cost more than
// the job's own work. Whatever is still pending shows at the next interval,
// or at once through flush() (a job's end, a message).

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QWidget;

class CounterDisplay : public QObject {
public:
    // Controls are found by name below `window`.
    explicit CounterDisplay(QWidget& window);

    // A label, button or line edit takes `text`.
    void setText(const QString& control, const QString& text);
    void setProgressValue(const QString& bar, int value);
    // Shows everything pending now.
    void flush();
    bool pending() const { return !m_texts.isEmpty() || !m_values.isEmpty(); }

    static constexpr int kIntervalMs = 40;

private:
    void schedule();
    QWidget* control(const QString& name);

    QWidget& m_window;
    QHash<QString, QString> m_texts;
    QHash<QString, int> m_values;
    QHash<QString, QPointer<QWidget>> m_controls;
    QTimer m_timer;
};
