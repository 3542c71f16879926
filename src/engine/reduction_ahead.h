#pragma once
// Reads and writes the reduced files of a work list on further threads (one
// per core), a few files ahead of the job, so that the job's own thread puts
// files in place and keeps the counters while the next ones are read and
// written.
// The job takes the results in list order, so what it counts, reports and
// stops at stays that of a reduction done in turn; what was written ahead
// and never taken is removed.
//
// Files marked as left to the job (a path listed a second time must be read
// as the first pass left it) are not touched. After a file that fails, the
// workers take no new file, since the job ends there; a later file is then
// prepared in turn when asked for.

#include "engine/jpeg_reduction.h"

#include <QStringList>

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

class StagedRewrites;

class ReductionAhead {
public:
    ReductionAhead(const QStringList& files, std::vector<bool> leftToJob,
                   const ReductionOptions& options, StagedRewrites& rewrites);
    // Stops the workers after their current file.
    ~ReductionAhead();
    ReductionAhead(const ReductionAhead&) = delete;
    ReductionAhead& operator=(const ReductionAhead&) = delete;

    bool leftToJob(int index) const { return m_leftToJob[std::size_t(index)]; }
    // The result for files[index] (not left to the job), waiting until a
    // worker has it. Indexes are taken in increasing order.
    PreparedReduction take(int index);
    // Tells the workers that the job has passed files[index] (left to it),
    // so that they may run ahead of that.
    void pass(int index);

private:
    void work();

    const QStringList m_files;
    const std::vector<bool> m_leftToJob;
    const ReductionOptions m_options;
    StagedRewrites& m_rewrites;
    std::vector<PreparedReduction> m_prepared;
    std::vector<char> m_ready; // m_prepared[i] is there
    std::mutex m_mutex;
    std::condition_variable m_workerWake; // room ahead, or stop
    std::condition_variable m_resultReady;
    int m_next = 0;  // the next index a worker claims
    int m_taken = 0; // the job has taken [0, m_taken)
    bool m_failed = false;
    bool m_stop = false;
    std::vector<std::thread> m_threads;
};
