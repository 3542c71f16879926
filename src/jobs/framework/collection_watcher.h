#pragma once
// The watcher threads that keep the count of collected files on screen while a
// job collects. Each hands its update step to the main thread, waits for it to
// run, sleeps 200 ms, and repeats until asked to stop; it frees itself at the
// end of its run.
//
// Shutting one down safely: the hand-over blocks the watcher until the main
// thread runs the update, so the main thread must never block waiting for a
// watcher (QThread::wait() there would deadlock once the watcher is inside a
// hand-over). A job calls requestStop() and goes on; the watcher ends after
// one more update, which the main thread runs the next time it processes
// events. A host that must be sure the thread is gone before it destroys what
// the update touches (closing the window, a test's end) calls
// FinishWatcher(), which keeps processing events while it waits.

#include "jobs/framework/job_host.h"

#include <QMutex>
#include <QPointer>
#include <QThread>

#include <atomic>
#include <functional>

// The process-wide lock taken by every watcher update and by the mouse
// watcher's pointer check.
QMutex& ProgressLock();

class CollectionWatcher : public QThread {
    Q_OBJECT
public:
    // `update` runs on the thread of `context` (the main thread), inside
    // ProgressLock. Starts at once, one priority step above normal.
    CollectionWatcher(QObject* context, std::function<void()> update);

    // Asks the watcher to end after one more update; does not wait.
    void requestStop() { m_stop = true; }

    // Milliseconds between updates.
    static constexpr int kIntervalMs = 200;

protected:
    void run() override;

private:
    QPointer<QObject> m_context;
    std::function<void()> m_update;
    std::atomic<bool> m_stop{false};
};

// Requests the stop and returns once the thread has finished, processing the
// main thread's events meanwhile so that a pending hand-over can run. Call on
// the main thread only. The watcher may have deleted itself when it returns.
void FinishWatcher(QPointer<CollectionWatcher> watcher);

// Refreshes Label_DDS05 during the defect scan.
class TDefekteJPEGs : public CollectionWatcher {
    Q_OBJECT
public:
    using CollectionWatcher::CollectionWatcher;
};

// Refreshes Label_DV06 during the reduction.
class TJPEGVerkleinern : public CollectionWatcher {
    Q_OBJECT
public:
    using CollectionWatcher::CollectionWatcher;
};

// Refreshes Label_Dup02 during the duplicate search.
class TFortschrittDuplikate : public CollectionWatcher {
    Q_OBJECT
public:
    using CollectionWatcher::CollectionWatcher;
};

// Refreshes Label_Sim02 during the similar-picture search.
class TAehnlicheBilder : public CollectionWatcher {
    Q_OBJECT
public:
    using CollectionWatcher::CollectionWatcher;
};

// A new running watcher of the class that belongs to `kind`.
CollectionWatcher* StartCollectionWatcher(WatcherKind kind, QObject* context,
                                          std::function<void()> update);
