#pragma once
// TMausUeberwachung: the watcher that hides the pop-up preview once the
// pointer has left the file list. Four times a second it hands one check to
// the main thread, waits until the check has run (inside ProgressLock), and
// sleeps. It lives for the whole run of the window.
//
// The hand-over blocks this thread until the main thread runs the check, so
// the main thread never waits for it with a plain wait(): FinishMausUeberwachung
// keeps processing events while it waits.

#include <QPointer>
#include <QThread>

#include <atomic>
#include <functional>

class TMausUeberwachung : public QThread {
    Q_OBJECT
public:
    // `check` runs on the thread of `context`, under ProgressLock. Starts at once.
    TMausUeberwachung(QObject* context, std::function<void()> check);

    void requestStop() { m_stop = true; }
    int checks() const { return m_checks.load(); }

    static constexpr int kIntervalMs = 250;

protected:
    void run() override;

private:
    QPointer<QObject> m_context;
    std::function<void()> m_check;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_checks{0};
};

// Requests the stop and returns once the thread has ended, processing the
// main thread's events meanwhile so that a pending check can run.
void FinishMausUeberwachung(TMausUeberwachung* watcher);
