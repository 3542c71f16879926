#include "base/threads/ordered_work_ahead.h"
#include "common/test_registry.h"

#include <QTest>

#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>

namespace {

// Uneven work, so that workers finish out of order.
void workFor(int index) {
    std::this_thread::sleep_for(std::chrono::microseconds((index * 7919) % 5 * 200));
}

// Counts the results alive, to see which the object lets go.
struct Counted {
    static inline std::atomic<int> alive{0};
    int value = -1;
    std::shared_ptr<int> token;
    static Counted make(int value) {
        alive.fetch_add(1);
        return {value, std::shared_ptr<int>(new int(value), [](int* p) {
                    alive.fetch_sub(1);
                    delete p;
                })};
    }
};

} // namespace

class TestOrderedWorkAhead : public QObject {
    Q_OBJECT
private slots:
    void resultsInListOrderWithinTheWindow_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("window");
        QTest::addColumn<int>("threads");
        QTest::newRow("one worker, window of one") << 20 << 1 << 1;
        QTest::newRow("more workers than items") << 3 << 4 << 8;
        QTest::newRow("many items, small window") << 200 << 3 << 4;
        QTest::newRow("one per core") << 100 << 16 << 0;
    }
    // The job's counters and output follow the list; memory stays bounded by
    // the window however far the workers could run.
    void resultsInListOrderWithinTheWindow() {
        QFETCH(int, count);
        QFETCH(int, window);
        QFETCH(int, threads);
        std::atomic<int> taken{0};
        std::atomic<int> beyondWindow{0};
        OrderedWorkAhead<int> ahead(count, window, threads, [&](int index) {
            // take(i) lets the workers claim up to i + window before the
            // test has counted it.
            if (index >= taken.load() + window + 1)
                beyondWindow.fetch_add(1);
            workFor(index);
            return index * 3;
        });
        for (int i = 0; i < count; ++i) {
            if (i % 5 == 4) {
                ahead.pass(i); // a file the job skips
            } else {
                QCOMPARE(ahead.take(i), i * 3);
            }
            taken.store(i + 1);
        }
        QCOMPARE(beyondWindow.load(), 0);
    }

    void aResultThatEndsTheRunStopsTheWorkers_data() {
        QTest::addColumn<int>("endAt");
        QTest::newRow("the first") << 0;
        QTest::newRow("in the middle") << 10;
        QTest::newRow("the last") << 39;
    }
    // A run that stops at an error does not go on reading the rest of the
    // list, and what is taken after the end is still right.
    void aResultThatEndsTheRunStopsTheWorkers() {
        QFETCH(int, endAt);
        const int count = 40;
        const int window = 4;
        std::atomic<int> worked{0};
        OrderedWorkAhead<int> ahead(
            count, window, 2,
            [&](int index) {
                worked.fetch_add(1);
                workFor(index);
                return index;
            },
            [&](const int& result) { return result == endAt; });
        for (int i = 0; i <= endAt; ++i)
            QCOMPARE(ahead.take(i), i);
        // Give the workers time to run past the end, which they must not.
        QTest::qWait(50);
        QVERIFY2(worked.load() <= endAt + 1 + window + 2,
                 qPrintable(QString::number(worked.load())));
        if (endAt + 1 < count)
            QCOMPARE(ahead.take(endAt + 1), endAt + 1); // worked on this thread
    }

    void untakenResultsGoWithTheObject_data() {
        QTest::addColumn<int>("takeFirst");
        QTest::newRow("none taken") << 0;
        QTest::newRow("some taken") << 5;
        QTest::newRow("all taken") << 30;
    }
    // A stopped job leaves no results (pictures, in real use) and no
    // thread behind, and its end does not wait for the whole list.
    void untakenResultsGoWithTheObject() {
        QFETCH(int, takeFirst);
        const int count = 30;
        std::atomic<int> worked{0};
        {
            OrderedWorkAhead<Counted> ahead(count, 6, 3, [&](int index) {
                worked.fetch_add(1);
                workFor(index);
                return Counted::make(index);
            });
            for (int i = 0; i < takeFirst; ++i)
                QCOMPARE(ahead.take(i).value, i);
            QTest::qWait(20);
        }
        QCOMPARE(Counted::alive.load(), 0);
        QVERIFY(worked.load() <= std::min(count, takeFirst + 6 + 3));
    }

    void aThrowingWorkItemRaisesOnTake_data() {
        QTest::addColumn<int>("throwAt");
        QTest::addColumn<int>("threads");
        QTest::newRow("first item") << 0 << 2;
        QTest::newRow("later item") << 7 << 3;
        QTest::newRow("one worker") << 4 << 1;
    }
    // Out of memory on a worker reaches the job as an error of that file,
    // not as the end of the program; the files before it are intact.
    void aThrowingWorkItemRaisesOnTake() {
        QFETCH(int, throwAt);
        QFETCH(int, threads);
        OrderedWorkAhead<int> ahead(20, 4, threads, [&](int index) {
            workFor(index);
            if (index == throwAt)
                throw std::runtime_error("no memory");
            return index;
        });
        for (int i = 0; i < throwAt; ++i)
            QCOMPARE(ahead.take(i), i);
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, ahead.take(throwAt));
        QCOMPARE(ahead.take(throwAt + 1), throwAt + 1); // the job may go on
    }

    void aResultNoLongerCurrentIsMadeAgain_data() {
        QTest::addColumn<bool>("changed");
        QTest::newRow("unchanged") << false;
        QTest::newRow("changed after it was made") << true;
    }
    // A file replaced after it was read ahead is read again when taken.
    void aResultNoLongerCurrentIsMadeAgain() {
        QFETCH(bool, changed);
        std::atomic<int> version{1};
        OrderedWorkAhead<int> ahead(2, 2, 1, [&](int) { return version.load(); });
        ahead.recheckOnTake([&](int, const int& made) { return made == version.load(); });
        QCOMPARE(ahead.take(0), 1);
        QTest::qWait(20); // index 1 is made ahead by now
        if (changed)
            version.store(2);
        QCOMPARE(ahead.take(1), version.load());
    }

    void runOnWorkersRunsEachPartOnce_data() {
        QTest::addColumn<int>("parts");
        QTest::addColumn<int>("throwingPart"); // -1: none
        QTest::newRow("one part") << 1 << -1;
        QTest::newRow("many parts") << 9 << -1;
        QTest::newRow("a worker's part throws") << 4 << 3;
        QTest::newRow("the caller's part throws") << 4 << 0;
    }
    void runOnWorkersRunsEachPartOnce() {
        QFETCH(int, parts);
        QFETCH(int, throwingPart);
        std::vector<std::atomic<int>> runs(static_cast<std::size_t>(parts));
        auto work = [&](int part) {
            runs[std::size_t(part)].fetch_add(1);
            if (part == throwingPart)
                throw std::runtime_error("failed");
        };
        if (throwingPart >= 0)
            QVERIFY_THROWS_EXCEPTION(std::runtime_error, RunOnWorkers(parts, work));
        else
            RunOnWorkers(parts, work);
        for (const std::atomic<int>& count : runs)
            QCOMPARE(count.load(), 1); // all ended before the error is raised
    }
};

KELVASTO_REGISTER_TEST(TestOrderedWorkAhead)
#include "test_ordered_work_ahead.moc"
