#include "base/threads/periodic_check.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QMutexLocker>

QMutex& ProgressLock() {
    static QMutex lock;
    return lock;
}

PeriodicCheck::PeriodicCheck(QObject* context, int intervalMs, OnStop onStop,
                             std::function<void()> check)
    : m_context(context), m_check(std::move(check)), m_onStop(onStop) {
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, &PeriodicCheck::runCheck);
    QMetaObject::invokeMethod(this, &PeriodicCheck::begin, Qt::QueuedConnection);
}

void PeriodicCheck::requestStop() {
    if (m_stopRequested)
        return;
    m_stopRequested = true;
    m_timer.stop();
    QMetaObject::invokeMethod(this, &PeriodicCheck::end, Qt::QueuedConnection);
}

void PeriodicCheck::begin() {
    if (m_stopRequested)
        return;
    runCheck();
    m_timer.start();
}

void PeriodicCheck::runCheck() {
    // A stop requested meanwhile: what the check touches may be half torn
    // down already.
    if (m_stopRequested && m_onStop == OnStop::Skip)
        return;
    if (!m_context) {
        requestStop();
        return;
    }
    QMutexLocker locker(&ProgressLock());
    if (m_check)
        m_check();
    ++m_checks;
}

void PeriodicCheck::end() {
    if (m_finished)
        return;
    m_timer.stop();
    if (m_onStop == OnStop::RunOnceMore && m_context) {
        QMutexLocker locker(&ProgressLock());
        if (m_check)
            m_check();
        ++m_checks;
    }
    m_finished = true;
    emit finished();
}

void FinishPeriodicCheck(PeriodicCheck* check) {
    if (!check)
        return;
    QPointer<PeriodicCheck> alive(check);
    check->requestStop();
    while (alive && !alive->isFinished())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}
