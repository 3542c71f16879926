#pragma once
// Runs the end-of-image test over a work list on further threads, a bounded
// stretch ahead of the scan, so that the scan's own thread can move the
// current file, write the log and update the counters while the next files
// are read, and every core reads. The scan still takes the results one by
// one in list order, so order, numbering and log stay exactly those of a
// test done in turn.
//
// The one exception to OrderedWorkAhead (base/threads/): a test takes a few
// microseconds, less than a lock and a wake-up per file would cost, so the
// hand-over is lock-free, a stretch of files at a time.

#include "base/threads/worker_threads.h"
#include "fs/folder_access.h"
#include "jobs/defect_scan/defect_test.h"

#include <QStringList>

#include <atomic>
#include <memory>
#include <vector>

class DefectTestAhead {
public:
    // `threads` 0 takes one tester per core.
    explicit DefectTestAhead(const QStringList& files, int threads = 0);
    // Stops the testers after their current file.
    ~DefectTestAhead();
    DefectTestAhead(const DefectTestAhead&) = delete;
    DefectTestAhead& operator=(const DefectTestAhead&) = delete;

    // The result for files[index], waiting until a tester has it. Indexes
    // are taken in increasing order.
    DefectTestResult take(int index);

private:
    void run();
    // False when stopped.
    bool testStretch(int stretch, FolderCache& folders);

    const QStringList m_files;
    std::vector<DefectTestResult> m_results;
    // The testers claim stretches of the list in turn and publish each one
    // whole; nobody takes a lock per file, and a side sleeps (on the atomic
    // it waits for) only when it has to. On cache lines of their own, to
    // avoid false sharing.
    std::unique_ptr<std::atomic<int>[]> m_stretchDone;
    alignas(64) std::atomic<int> m_nextStretch{0};
    alignas(64) std::atomic<int> m_taken{0}; // the scan has taken [0, m_taken)
    std::atomic<bool> m_stop{false};
    WorkerThreads m_threads;
};
