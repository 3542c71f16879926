#pragma once
// Works through the indexes of a list on worker threads (one per core unless
// told otherwise), a bounded window ahead of the caller, who takes the
// results one by one in increasing order: what the caller does with them,
// and in which order, is that of work done in turn, while every core works.
// Results made and never taken go with the object; its workers stop after
// their current index.
//
// A result may end the run (an error the caller stops at): the workers then
// claim no new index, and an index nobody claimed is worked in turn, on the
// caller's thread, should it be taken after all. A work item that throws
// ends the run the same way; take() raises its exception on the caller's
// thread. With no thread to be had, every index is worked on take().

#include "base/threads/worker_threads.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

template <class Result> class OrderedWorkAhead {
public:
    // Called on the workers' threads, several at once, and on the caller's.
    using Work = std::function<Result(int index)>;
    using EndsRun = std::function<bool(const Result&)>;
    // Called on the caller's thread with a result made ahead, as it is taken.
    using StillCurrent = std::function<bool(int index, const Result&)>;

    // `threads` 0 takes one per core.
    OrderedWorkAhead(int count, int window, int threads, Work work, EndsRun endsRun = {})
        : m_count(count), m_window(window), m_work(std::move(work)), m_endsRun(std::move(endsRun)),
          m_results(std::size_t(count)), m_errors(std::size_t(count)), m_ready(std::size_t(count)) {
        const int workers = std::min(WorkerThreadCount(threads), std::max(1, count));
        for (int i = 0; i < workers; ++i)
            if (!m_threads.start([this] { run(); }))
                break; // fewer workers; none at all works every index on take()
        m_noWorkers = m_threads.count() == 0;
    }
    ~OrderedWorkAhead() {
        {
            const std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_workerWake.notify_all();
        m_threads.join();
    }
    OrderedWorkAhead(const OrderedWorkAhead&) = delete;
    OrderedWorkAhead& operator=(const OrderedWorkAhead&) = delete;

    // Before the first take(): a result made ahead that is no longer current
    // when taken (its file changed meanwhile, say) is worked again on take().
    void recheckOnTake(StillCurrent stillCurrent) { m_stillCurrent = std::move(stillCurrent); }
    // Before the first take(): take() works an index no worker has started
    // itself rather than wait for a worker to reach it.
    void workUnstartedOnTake() { m_workUnstarted = true; }

    // The result for `index`, waiting until a worker has it.
    Result take(int index) {
        std::unique_lock lock(m_mutex);
        if (m_workUnstarted && index >= m_next)
            m_next = index + 1; // claimed here
        else
            m_resultReady.wait(lock,
                               [&] { return m_ready[std::size_t(index)] || unclaimed(index); });
        m_taken = index + 1;
        if (!m_ready[std::size_t(index)]) {
            lock.unlock();
            m_workerWake.notify_all(); // room in the window again
            return m_work(index);
        }
        Result result = std::move(m_results[std::size_t(index)]);
        const std::exception_ptr error = std::exchange(m_errors[std::size_t(index)], {});
        lock.unlock();
        m_workerWake.notify_all(); // room in the window again
        if (error)
            std::rethrow_exception(error);
        if (m_stillCurrent && !m_stillCurrent(index, result))
            return m_work(index);
        return result;
    }

    // The caller has passed `index` without taking it: the workers may run
    // ahead of it.
    void pass(int index) {
        {
            const std::lock_guard lock(m_mutex);
            m_taken = index + 1;
        }
        m_workerWake.notify_all();
    }

private:
    // With m_mutex held.
    bool unclaimed(int index) const { return (m_ended || m_noWorkers) && index >= m_next; }

    void run() {
        for (;;) {
            int index = 0;
            {
                std::unique_lock lock(m_mutex);
                m_workerWake.wait(lock,
                                  [&] { return m_stop || m_ended || m_next - m_taken < m_window; });
                if (m_stop || m_ended || m_next >= m_count)
                    return;
                index = m_next++;
            }
            Result result{};
            std::exception_ptr error;
            bool ends = false;
            try {
                result = m_work(index);
                ends = m_endsRun && m_endsRun(result);
            } catch (...) {
                error = std::current_exception();
                ends = true;
            }
            {
                const std::lock_guard lock(m_mutex);
                m_ended = m_ended || ends;
                m_results[std::size_t(index)] = std::move(result);
                m_errors[std::size_t(index)] = error;
                m_ready[std::size_t(index)] = 1;
            }
            m_resultReady.notify_all();
        }
    }

    const int m_count;
    const int m_window;
    const Work m_work;
    const EndsRun m_endsRun;
    StillCurrent m_stillCurrent;
    bool m_workUnstarted = false;
    std::vector<Result> m_results;
    std::vector<std::exception_ptr> m_errors;
    std::vector<char> m_ready;
    std::mutex m_mutex;
    std::condition_variable m_workerWake; // room in the window, or stop
    std::condition_variable m_resultReady;
    int m_next = 0;  // the next index a worker claims
    int m_taken = 0; // the caller has passed [0, m_taken)
    bool m_ended = false;
    bool m_stop = false;
    bool m_noWorkers = false;
    WorkerThreads m_threads; // last: joined before the state above goes
};
