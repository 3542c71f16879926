#pragma once
// Presses OK on every modal dialog the window shows (a job's closing
// message), or closes it, and notes when the first one showed: benchmarks of
// the window run without anyone to answer it.

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <chrono>

class MessageCloser : public QObject {
public:
    using Clock = std::chrono::steady_clock;

    MessageCloser() { qApp->installEventFilter(this); }
    ~MessageCloser() override { qApp->removeEventFilter(this); }
    // When the first dialog showed; the epoch while none has.
    Clock::time_point shownAt() const { return m_shownAt; }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show || !watched->isWidgetType())
            return false;
        auto* dialog = static_cast<QWidget*>(watched);
        if (!dialog->isWindow() || !dialog->isModal())
            return false;
        if (m_shownAt == Clock::time_point{})
            m_shownAt = Clock::now();
        QPointer<QWidget> guard(dialog);
        QTimer::singleShot(0, this, [guard] {
            if (!guard)
                return;
            if (auto* ok = guard->findChild<QAbstractButton*>(QStringLiteral("OK")))
                ok->click();
            else
                guard->close();
        });
        return false;
    }

private:
    Clock::time_point m_shownAt{};
};
