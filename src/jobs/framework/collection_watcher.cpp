#include "jobs/framework/collection_watcher.h"

CollectionWatcher::CollectionWatcher(QObject* context, std::function<void()> update)
    : PeriodicCheck(context, kIntervalMs, OnStop::RunOnceMore, std::move(update)) {
    connect(this, &PeriodicCheck::finished, this, &QObject::deleteLater);
}

void FinishWatcher(QPointer<CollectionWatcher> watcher) {
    FinishPeriodicCheck(watcher.data());
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
