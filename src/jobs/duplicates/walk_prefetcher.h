#pragma once
// Uses the second core for the reading of the duplicate search: a worker
// thread answers the walks of the coming groups (fingerprints and streamed
// comparisons) while the search thread answers its own group and replays
// the answers in order. The answers are those the search thread would have
// found itself, so the result does not change, only the time it takes.
//
// Groups are claimed in order by whichever thread is free; the worker stays
// at most kLookahead groups ahead, so a stop wastes little reading.

#include "jobs/duplicates/group_matcher.h"

#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

class WalkPrefetcher {
public:
    static constexpr std::size_t kLookahead = 16;

    // Starts the worker at once.
    explicit WalkPrefetcher(std::vector<QStringList> groups);
    // Cancels the worker and waits for it.
    ~WalkPrefetcher();
    WalkPrefetcher(const WalkPrefetcher&) = delete;
    WalkPrefetcher& operator=(const WalkPrefetcher&) = delete;

    // The answers of group `index`; groups must be taken in order. Computed
    // here when the worker has not claimed the group; otherwise this thread
    // answers later groups meanwhile, and once none is left waits, calling
    // `whileWaiting` every 50 ms, giving up (nullopt) when that returns false.
    std::optional<std::vector<PassAnswer>> take(std::size_t index,
                                                const std::function<bool()>& whileWaiting);

private:
    void run();

    const std::vector<QStringList> m_groups;
    std::vector<std::optional<std::vector<PassAnswer>>> m_answers;
    std::size_t m_nextUnclaimed = 0;
    std::size_t m_taken = 0;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::atomic<bool> m_cancel{false};
    std::thread m_worker;
};
