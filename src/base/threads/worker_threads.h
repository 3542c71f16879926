#pragma once
// The one way the program starts threads of its own (Qt's pools aside, see
// owned_thread_pool.h): workers that are joined before their owner goes, one
// per core unless told otherwise. Work that runs ahead of a job in list order
// goes through OrderedWorkAhead (ordered_work_ahead.h); the end-of-image test
// keeps its own lock-free hand-over on these workers (see
// jobs/defect_scan/defect_test_ahead.h), the one exception.

#include <functional>
#include <thread>
#include <vector>

// `requested` threads, or one per core when 0.
int WorkerThreadCount(int requested = 0);

// Threads joined at join() or when the object goes. A worker must end by
// itself once its owner asks it to (a stop flag the owner sets before join()).
class WorkerThreads {
public:
    WorkerThreads() = default;
    ~WorkerThreads() { join(); }
    WorkerThreads(const WorkerThreads&) = delete;
    WorkerThreads& operator=(const WorkerThreads&) = delete;

    // Starts `work` on a new thread; false when the system has none to give
    // (the caller goes on with fewer, or does the work itself).
    bool start(std::function<void()> work);
    // Waits for every worker started so far.
    void join();
    int count() const { return int(m_threads.size()); }

private:
    std::vector<std::thread> m_threads;
};

// Runs work(0) .. work(parts - 1) at once: part 0 and any part no thread
// could be started for on the caller's thread, the others on workers.
// Returns when all have ended, raising the first part's exception, if any.
void RunOnWorkers(int parts, const std::function<void(int part)>& work);
