#pragma once
// A check that runs on the thread of its context (the main thread) at a fixed
// interval, under ProgressLock: the collection watchers' count on screen and
// the preview's pointer watch. Jobs run on the main thread and let its events
// in between files (JobHost::processPendingMessages), so a timer there fires
// during a job as a watcher thread's hand-over would, and nothing ever blocks
// on another thread: no thread to wait for, no deadlock on shutdown.
//
// The first check runs the first time the context's thread processes events
// after construction, then one every interval. requestStop() ends it: after
// one more check (RunOnceMore) or none (Skip); finished() follows that end.
// Create and destroy it on the context's thread.

#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

// The process-wide lock every periodic check runs under.
QMutex& ProgressLock();

class PeriodicCheck : public QObject {
    Q_OBJECT
public:
    enum class OnStop { RunOnceMore, Skip };

    PeriodicCheck(QObject* context, int intervalMs, OnStop onStop, std::function<void()> check);

    // Asks for the end; does not wait. The end comes when the context's
    // thread next processes events. On the context's thread only.
    void requestStop();
    bool isFinished() const { return m_finished; }
    // Checks run so far.
    int checks() const { return m_checks; }

signals:
    void finished();

private:
    void begin();
    void runCheck();
    void end();

    QPointer<QObject> m_context;
    std::function<void()> m_check;
    const OnStop m_onStop;
    QTimer m_timer;
    bool m_stopRequested = false;
    bool m_finished = false;
    int m_checks = 0;
};

// Requests the stop and returns once the check has ended, processing the
// thread's events meanwhile. Call on the context's thread only.
void FinishPeriodicCheck(PeriodicCheck* check);
