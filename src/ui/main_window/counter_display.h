#pragma once
// Puts the counters and progress values a job sets once per file on screen,
// at most every kIntervalMs. A job over many small files sets them tens of
// thousands of times a second; painting each of them would cost more than
// the job's own work. Whatever is still pending shows at the next interval
// (the timer runs whenever the job lets events through), or at once through
// flush() (a job's end, a message).

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QWidget;

class CounterDisplay : public QObject {
public:
    CounterDisplay();

    // A label, button or line edit takes `text`.
    void setText(QWidget* control, const QString& text);
    // A progress bar takes `value`.
    void setProgressValue(QWidget* bar, int value);
    // Shows everything pending now.
    void flush();
    bool pending() const { return !m_texts.isEmpty() || !m_values.isEmpty(); }

    static constexpr int kIntervalMs = 40;

private:
    template <class T> struct Pending {
        QPointer<QWidget> control;
        T value;
    };

    void schedule();

    QHash<QWidget*, Pending<QString>> m_texts;
    QHash<QWidget*, Pending<int>> m_values;
    QTimer m_timer;
};
