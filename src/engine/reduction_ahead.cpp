#include "engine/reduction_ahead.h"

#include <algorithm>

namespace {

// Enough to keep the workers busy while the job puts a batch in place; each
// file ahead holds an open temporary file.
constexpr int kAhead = 8;
constexpr unsigned kMostWorkers = 4;

} // namespace

ReductionAhead::ReductionAhead(const QStringList& files, std::vector<bool> leftToJob,
                               const ReductionOptions& options, StagedRewrites& rewrites)
    : m_files(files), m_leftToJob(std::move(leftToJob)), m_options(options), m_rewrites(rewrites),
      m_prepared(std::size_t(files.size())), m_ready(std::size_t(files.size())) {
    const unsigned workers = std::clamp(std::thread::hardware_concurrency(), 1u, kMostWorkers);
    for (unsigned i = 0; i < workers && int(i) < files.size(); ++i)
        m_threads.emplace_back([this] { work(); });
}

ReductionAhead::~ReductionAhead() {
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_workerWake.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
    // What was written and never taken goes with m_prepared.
}

PreparedReduction ReductionAhead::take(int index) {
    std::unique_lock lock(m_mutex);
    // A file no worker claimed before one failed is prepared in turn.
    m_resultReady.wait(
        lock, [&] { return m_ready[std::size_t(index)] || (m_failed && index >= m_next); });
    m_taken = index + 1;
    if (!m_ready[std::size_t(index)]) {
        lock.unlock();
        return PrepareJpegReduction(m_files.at(index), m_options, m_rewrites);
    }
    PreparedReduction prepared = std::move(m_prepared[std::size_t(index)]);
    lock.unlock();
    m_workerWake.notify_all(); // room ahead again
    return prepared;
}

void ReductionAhead::pass(int index) {
    {
        const std::lock_guard lock(m_mutex);
        m_taken = index + 1;
    }
    m_workerWake.notify_all();
}

void ReductionAhead::work() {
    const int count = int(m_files.size());
    for (;;) {
        int index = 0;
        {
            std::unique_lock lock(m_mutex);
            m_workerWake.wait(lock,
                              [&] { return m_stop || m_failed || m_next - m_taken < kAhead; });
            if (m_stop || m_failed || m_next >= count)
                return;
            index = m_next++;
        }
        PreparedReduction prepared;
        if (!m_leftToJob[std::size_t(index)])
            prepared = PrepareJpegReduction(m_files.at(index), m_options, m_rewrites);
        {
            const std::lock_guard lock(m_mutex);
            m_failed = m_failed || prepared.error;
            m_prepared[std::size_t(index)] = std::move(prepared);
            m_ready[std::size_t(index)] = 1;
        }
        m_resultReady.notify_all();
    }
}
