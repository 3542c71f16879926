#include "preview/maus_ueberwachung.h"

#include "jobs/framework/collection_watcher.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QMutexLocker>

TMausUeberwachung::TMausUeberwachung(QObject* context, std::function<void()> check)
    : m_context(context), m_check(std::move(check)) {
    start(QThread::NormalPriority);
}

void TMausUeberwachung::run() {
    while (!m_stop.load()) {
        QObject* context = m_context.data();
        if (!context)
            return;
        QMetaObject::invokeMethod(
            context,
            [this] {
                // A stop requested while this check waited: the window may
                // be half torn down already.
                if (m_stop.load())
                    return;
                QMutexLocker locker(&ProgressLock());
                if (m_check)
                    m_check();
                ++m_checks;
            },
            Qt::BlockingQueuedConnection);
        if (m_stop.load())
            return;
        QThread::msleep(kIntervalMs);
    }
}

void FinishMausUeberwachung(TMausUeberwachung* watcher) {
    if (!watcher)
        return;
    watcher->requestStop();
    while (!watcher->isFinished()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        watcher->wait(5);
    }
}
