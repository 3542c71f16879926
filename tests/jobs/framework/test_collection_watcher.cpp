#include "common/file_fixtures.h"
#include "common/recording_job_host.h"
#include "common/test_registry.h"
#include "fs/file_collection.h"
#include "jobs/framework/collection_watcher.h"
#include "jobs/framework/job_controls.h"

#include <QElapsedTimer>
#include <QTest>

class TestCollectionWatcher : public QObject {
    Q_OBJECT
private slots:
    // A long collection (slowed down per folder) must show the count growing
    // on the label while it runs, not only at its end.
    void labelGrowsWhileALongCollectionRuns() {
        fixtures::Tree tree;
        const int folders = 60;
        for (int i = 0; i < folders; ++i)
            QVERIFY(tree.file(QStringLiteral("f%1/a.jpg").arg(i, 2, 10, QLatin1Char('0')), "x"));
        RecordingJobHost host;
        host.setRealWatchers(true);
        host.onProcessPendingMessages([](int) { QThread::msleep(15); });
        QList<int> seenDuringCollection;
        QStringList& list = host.lists().AlteDateinamen;
        host.startWatcher(WatcherKind::DefekteJPEGs);
        CollectFilesRecursive(host, list, tree.root() + QStringLiteral("*.jpg"));
        for (const QString& text : host.textHistory(kDefectScanControls.progress.total))
            seenDuringCollection.append(text.toInt());
        host.stopWatcher();

        QCOMPARE(list.size(), folders);
        // About four updates are due; under load at least two distinct ones.
        QVERIFY(std::is_sorted(seenDuringCollection.begin(), seenDuringCollection.end()));
        QVERIFY2(seenDuringCollection.size() >= 2, "the watcher updated too rarely");
        QVERIFY(seenDuringCollection.first() < seenDuringCollection.last());
        QVERIFY(seenDuringCollection.last() < folders);
    }

    // A stopped watcher answers with one more update and ends; finishing it
    // from the main thread must never deadlock, also while it waits in a
    // hand-over.
    void finishingFromTheMainThreadDoesNotDeadlock() {
        int updates = 0;
        QObject context;
        QPointer<CollectionWatcher> watcher = new TDefekteJPEGs(&context, [&] { ++updates; });
        QThread::msleep(50); // the watcher is now blocked in its first hand-over
        QElapsedTimer timer;
        timer.start();
        FinishWatcher(watcher);
        QVERIFY(timer.elapsed() < 2000);
        QVERIFY(updates >= 1);
        QVERIFY(!watcher || watcher->isFinished());
        const int after = updates;
        QCoreApplication::processEvents();
        QCOMPARE(updates, after);
    }

    void updatesRunOnTheMainThreadUnderTheLock() {
        QObject context;
        bool onMainThread = false;
        bool lockHeld = false;
        QPointer<CollectionWatcher> watcher = new TJPEGVerkleinern(&context, [&] {
            onMainThread = QThread::currentThread() == context.thread();
            lockHeld = !ProgressLock().tryLock();
            if (!lockHeld)
                ProgressLock().unlock();
        });
        FinishWatcher(watcher);
        QVERIFY(onMainThread);
        QVERIFY(lockHeld);
    }
};

KELVASTO_REGISTER_TEST(TestCollectionWatcher)
#include "test_collection_watcher.moc"
