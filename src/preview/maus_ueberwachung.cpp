#include "preview/maus_ueberwachung.h"

TMausUeberwachung::TMausUeberwachung(QObject* context, std::function<void()> check)
    : PeriodicCheck(context, kIntervalMs, OnStop::Skip, std::move(check)) {}

void FinishMausUeberwachung(TMausUeberwachung* watcher) {
    FinishPeriodicCheck(watcher);
}
