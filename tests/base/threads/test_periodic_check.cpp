#include "base/threads/periodic_check.h"
#include "common/test_registry.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <memory>

Q_DECLARE_METATYPE(PeriodicCheck::OnStop)

class TestPeriodicCheck : public QObject {
    Q_OBJECT
private slots:
    void stopRunsTheLastCheckOrNone_data() {
        QTest::addColumn<PeriodicCheck::OnStop>("onStop");
        QTest::addColumn<bool>("startedFirst"); // events processed before the stop
        QTest::addColumn<int>("checksAfterStop");
        QTest::newRow("count shown once more") << PeriodicCheck::OnStop::RunOnceMore << true << 1;
        QTest::newRow("count, stopped at once") << PeriodicCheck::OnStop::RunOnceMore << false << 1;
        QTest::newRow("pointer watch ends") << PeriodicCheck::OnStop::Skip << true << 0;
        QTest::newRow("pointer watch, stopped at once")
            << PeriodicCheck::OnStop::Skip << false << 0;
    }
    // The count must show the final number however short the collection;
    // the pointer watch must not touch a window that is going.
    void stopRunsTheLastCheckOrNone() {
        QFETCH(PeriodicCheck::OnStop, onStop);
        QFETCH(bool, startedFirst);
        QFETCH(int, checksAfterStop);
        QObject context;
        int checks = 0;
        PeriodicCheck check(&context, 20, onStop, [&] { ++checks; });
        QSignalSpy finished(&check, &PeriodicCheck::finished);
        if (startedFirst)
            QTRY_VERIFY(checks >= 2);
        const int before = checks;
        FinishPeriodicCheck(&check);
        QVERIFY(check.isFinished());
        QCOMPARE(finished.count(), 1);
        QCOMPARE(checks - before, checksAfterStop);
        QTest::qWait(60); // no check after the end
        QCOMPARE(checks - before, checksAfterStop);
        QCOMPARE(check.checks(), checks);
    }

    // The checks run where widgets may be touched, and never two at once
    // with another holder of the lock.
    void checksRunOnTheContextThreadUnderTheLock() {
        QObject context;
        bool everywhereRight = true;
        int checks = 0;
        PeriodicCheck check(&context, 10, PeriodicCheck::OnStop::Skip, [&] {
            everywhereRight = everywhereRight && QThread::currentThread() == context.thread();
            const bool held = !ProgressLock().tryLock();
            if (!held)
                ProgressLock().unlock();
            everywhereRight = everywhereRight && held;
            ++checks;
        });
        QTRY_VERIFY(checks >= 3);
        QVERIFY(everywhereRight);
        FinishPeriodicCheck(&check);
    }

    // A context that goes first (a window closed during a job) ends the
    // checks instead of calling into it.
    void aContextThatGoesEndsTheChecks() {
        auto context = std::make_unique<QObject>();
        int checks = 0;
        PeriodicCheck check(context.get(), 10, PeriodicCheck::OnStop::RunOnceMore,
                            [&] { ++checks; });
        QTRY_VERIFY(checks >= 1);
        context.reset();
        const int before = checks;
        QTRY_VERIFY(check.isFinished());
        QCOMPARE(checks, before);
    }
};

KELVASTO_REGISTER_TEST(TestPeriodicCheck)
#include "test_periodic_check.moc"
