#pragma once
// The watchers that keep the count of collected files on screen while a job
// collects: a PeriodicCheck (base/threads/periodic_check.h) that runs the
// update on the main thread every 200 ms, ends after one more update once
// asked to stop, and frees itself after its end.
//
// A job calls requestStop() and goes on; the last update runs the next time
// the main thread processes events. A host that must be sure the watcher is
// done before it destroys what the update touches (closing the window, a
// test's end) calls FinishWatcher(), which processes events while it waits.

#include "base/threads/periodic_check.h"
#include "jobs/framework/job_host.h"

#include <QPointer>

#include <functional>

class CollectionWatcher : public PeriodicCheck {
    Q_OBJECT
public:
    // `update` runs on the thread of `context` (the main thread), inside
    // ProgressLock. Starts at once.
    CollectionWatcher(QObject* context, std::function<void()> update);

    // Milliseconds between updates.
    static constexpr int kIntervalMs = 200;
};

// Requests the stop and returns once the last update has run, processing the
// main thread's events meanwhile. Call on the main thread only. The watcher
// may have deleted itself when it returns.
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
