#include "jobs/framework/collection_watcher.h"

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
        // A stop that arrived during the sleep has had its one more update.
        if (m_stop.load())
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

CollectionWatcher* StartCollectionWatcher(WatcherKind kind, QObject* context,
                                          std::function<void()> update) {
    switch (kind) {
    case WatcherKind::DefekteJPEGs:
        return new TDefekteJPEGs(context, std::move(update));
    case WatcherKind::JPEGVerkleinern:
        return new TJPEGVerkleinern(context, std::move(update));
    case WatcherKind::FortschrittDuplikate:
        return new TFortschrittDuplikate(context, std::move(update));
    case WatcherKind::AehnlicheBilder:
        return new TAehnlicheBilder(context, std::move(update));
    }
    return new CollectionWatcher(context, std::move(update));
}
