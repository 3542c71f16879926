#pragma once
// TMausUeberwachung: the watcher that hides the pop-up preview once the
// pointer has left the file list. Four times a second it runs one check on
// the main thread (a PeriodicCheck, base/threads/periodic_check.h, inside
// ProgressLock). It lives for the whole run of the window; once asked to
// stop it runs no further check.

#include "base/threads/periodic_check.h"

#include <functional>

class TMausUeberwachung : public PeriodicCheck {
    Q_OBJECT
public:
    // `check` runs on the thread of `context`, under ProgressLock. Starts at once.
    TMausUeberwachung(QObject* context, std::function<void()> check);

    static constexpr int kIntervalMs = 250;
};

// Requests the stop and returns once the watcher has ended, processing the
// main thread's events meanwhile.
void FinishMausUeberwachung(TMausUeberwachung* watcher);
