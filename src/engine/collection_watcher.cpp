#include "engine/collection_watcher.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QMutexLocker>

QMutex& ProgressLock() {
    static QMutex lock;
    return lock;
}

CollectionWatcher::CollectionWatcher(QObject* context, std::function<void()> update)
    : m_context(context), m_update(std::move(update)) {
    connect(this, &QThread::finished, this, &QObject::deleteLater);
    start(QThread::HighPriority);
}

void CollectionWatcher::run() {
    for (;;) {
        // A stop that arrives during the sleep is answered by one more update.
        const bool stopAfterThis = m_stop.load();
        QObject* context = m_context.data();
        if (!context)
            return;
        QMetaObject::invokeMethod(
            context,
            [this] {
                QMutexLocker locker(&ProgressLock());
                if (m_update)
                    m_update();
            },
            Qt::BlockingQueuedConnection);
        if (stopAfterThis || m_stop.load())
            return;
        QThread::msleep(kIntervalMs);
    }
}

void FinishWatcher(QPointer<CollectionWatcher> watcher) {
    if (!watcher)
        return;
    watcher->requestStop();
    while (watcher && !watcher->isFinished()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (watcher)
            watcher->wait(5);
    }
}
