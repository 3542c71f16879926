#include "jobs/duplicates/walk_prefetcher.h"

#include <chrono>

WalkPrefetcher::WalkPrefetcher(std::vector<QStringList> groups)
    : m_groups(std::move(groups)), m_answers(m_groups.size()) {
    m_worker = std::thread([this] { run(); });
}

WalkPrefetcher::~WalkPrefetcher() {
    {
        const std::lock_guard lock(m_mutex);
        m_cancel = true;
    }
    m_changed.notify_all();
    m_worker.join();
}

void WalkPrefetcher::run() {
    for (;;) {
        std::size_t index = 0;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] {
                return m_cancel.load() || (m_nextUnclaimed < m_groups.size() &&
                                           m_nextUnclaimed < m_taken + kLookahead);
            });
            if (m_cancel.load())
                return;
            index = m_nextUnclaimed++;
        }
        std::vector<PassAnswer> answers = AnswerWalk(m_groups[index], m_cancel);
        {
            const std::lock_guard lock(m_mutex);
            m_answers[index] = std::move(answers);
        }
        m_changed.notify_all();
    }
}

std::optional<std::vector<PassAnswer>>
WalkPrefetcher::take(std::size_t index, const std::function<bool()>& whileWaiting) {
    static const std::atomic<bool> never{false};
    std::unique_lock lock(m_mutex);
    m_taken = index + 1;
    if (index >= m_nextUnclaimed) {
        m_nextUnclaimed = index + 1;
        lock.unlock();
        m_changed.notify_all();
        return AnswerWalk(m_groups[index], never);
    }
    m_changed.notify_all();
    while (!m_answers[index]) {
        // The worker is on this group: rather than wait idle, answer a later
        // one meanwhile (the worker may be starved on a busy machine).
        if (m_nextUnclaimed < m_groups.size() && m_nextUnclaimed < m_taken + kLookahead) {
            const std::size_t later = m_nextUnclaimed++;
            lock.unlock();
            std::vector<PassAnswer> answers = AnswerWalk(m_groups[later], never);
            lock.lock();
            m_answers[later] = std::move(answers);
            continue;
        }
        if (m_changed.wait_for(lock, std::chrono::milliseconds(50)) == std::cv_status::timeout &&
            !m_answers[index]) {
            lock.unlock();
            const bool goOn = whileWaiting();
            lock.lock();
            if (!goOn)
                return std::nullopt;
        }
    }
    std::optional<std::vector<PassAnswer>> answers = std::move(m_answers[index]);
    m_answers[index].reset();
    return answers;
}
