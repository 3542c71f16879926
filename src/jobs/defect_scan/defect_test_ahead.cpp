#include "jobs/defect_scan/defect_test_ahead.h"

#include "fs/folder_access.h"
#include "base/threads/worker_threads.h"

#include <algorithm>
#include <limits>
#include <system_error>

namespace {

// How far the testers may run ahead: enough to bridge a slow move, little
// enough that a stop wastes no noticeable work.
constexpr int kWindow = 256;
// What a tester claims at once, and the scan's thread and the testers wake
// each other at most once per stretch: a hand-over per file would cost more
// than the test itself.
constexpr int kStretch = 32;

int stretchCount(qsizetype files) {
    return int((files + kStretch - 1) / kStretch);
}

} // namespace

DefectTestAhead::DefectTestAhead(const QStringList& files, int threads)
    : m_files(files), m_results(std::size_t(files.size())),
      m_stretchDone(new std::atomic<int>[std::size_t(stretchCount(files.size()))]()) {
    threads = std::min(WorkerThreadCount(threads), std::max(1, stretchCount(files.size())));
    for (int i = 0; i < threads; ++i)
        if (!m_threads.start([this] { run(); }))
            break; // fewer testers
    if (m_threads.count() == 0)
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
}

DefectTestAhead::~DefectTestAhead() {
    m_stop.store(true);
    // A new value wakes a tester even when it is just about to wait.
    m_taken.store(std::numeric_limits<int>::max() / 2);
    m_taken.notify_all();
    m_threads.join();
}

DefectTestResult DefectTestAhead::take(int index) {
    std::atomic<int>& done = m_stretchDone[std::size_t(index / kStretch)];
    while (done.load(std::memory_order_acquire) == 0)
        done.wait(0, std::memory_order_acquire);
    DefectTestResult result = std::move(m_results[std::size_t(index)]);
    m_taken.store(index + 1, std::memory_order_release);
    if ((index + 1) % kStretch == 0)
        m_taken.notify_all(); // room in the window again
    return result;
}

void DefectTestAhead::run() {
    FolderCache folders;
    const int stretches = stretchCount(m_files.size());
    for (int stretch = m_nextStretch.fetch_add(1); stretch < stretches;
         stretch = m_nextStretch.fetch_add(1)) {
        for (int taken = m_taken.load(std::memory_order_acquire);
             stretch * kStretch - taken >= kWindow; taken = m_taken.load(std::memory_order_acquire))
            m_taken.wait(taken, std::memory_order_acquire);
        if (!testStretch(stretch, folders))
            return;
        m_stretchDone[std::size_t(stretch)].store(1, std::memory_order_release);
        m_stretchDone[std::size_t(stretch)].notify_one();
    }
}

bool DefectTestAhead::testStretch(int stretch, FolderCache& folders) {
    const int end = std::min(int(m_files.size()), (stretch + 1) * kStretch);
    for (int i = stretch * kStretch; i < end; ++i) {
        if (m_stop.load(std::memory_order_relaxed))
            return false;
        m_results[std::size_t(i)] = TestDefectiveJpeg(m_files.at(i), folders);
    }
    return true;
}
