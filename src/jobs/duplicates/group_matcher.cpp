#include "jobs/duplicates/group_matcher.h"

#include "jobs/duplicates/block_compare.h"
#include "jobs/duplicates/file_fingerprint.h"

std::vector<bool> GroupMatcher::identicalTo(qsizetype first, const std::vector<qsizetype>& others) {
    std::vector<bool> same(others.size(), false);
    const std::optional<quint64> key = fingerprint(first);
    if (!key)
        return same;
    QStringList candidates;
    std::vector<std::size_t> where;
    for (std::size_t i = 0; i < others.size(); ++i) {
        if (fingerprint(others[i]) == key) {
            candidates.append(m_paths.at(others[i]));
            where.push_back(i);
        }
    }
    if (candidates.isEmpty())
        return same;
    const MatchOutcome outcome = MatchFirstAgainst(m_paths.at(first), candidates);
    for (std::size_t j = 0; j < where.size(); ++j) {
        if (outcome.failed[j])
            fail(others[where[j]]);
        else if (outcome.identical[j])
            same[where[j]] = true;
    }
    if (outcome.firstFailed)
        fail(first);
    return same;
}

QStringList GroupMatcher::takeNewlyFailed() {
    QStringList taken;
    taken.swap(m_newlyFailed);
    return taken;
}

std::optional<quint64> GroupMatcher::fingerprint(qsizetype i) {
    const std::size_t at = std::size_t(i);
    if (m_state[at] == State::Unknown) {
        m_fingerprints[at] = FileFingerprint(m_paths.at(i));
        if (m_fingerprints[at])
            m_state[at] = State::Known;
        else
            fail(i);
    }
    return m_state[at] == State::Known ? m_fingerprints[at] : std::nullopt;
}

void GroupMatcher::fail(qsizetype i) {
    const std::size_t at = std::size_t(i);
    if (m_state[at] == State::Failed)
        return;
    m_state[at] = State::Failed;
    m_fingerprints[at].reset();
    m_newlyFailed.append(m_paths.at(i));
}

void AdvanceWalk(std::vector<qsizetype>& rest, const std::vector<bool>& same) {
    std::vector<qsizetype> next;
    next.reserve(rest.size());
    for (std::size_t k = 1; k < rest.size(); ++k)
        if (!same[k - 1])
            next.push_back(rest[k]);
    rest.swap(next);
}

std::vector<PassAnswer> AnswerWalk(const QStringList& group, const std::atomic<bool>& cancel) {
    GroupMatcher matcher(group);
    std::vector<PassAnswer> passes;
    std::vector<qsizetype> rest(std::size_t(group.size()));
    for (std::size_t i = 0; i < rest.size(); ++i)
        rest[i] = qsizetype(i);
    while (rest.size() > 1 && !cancel.load()) {
        PassAnswer pass;
        pass.same =
            matcher.identicalTo(rest.front(), std::vector<qsizetype>(rest.begin() + 1, rest.end()));
        pass.failed = matcher.takeNewlyFailed();
        AdvanceWalk(rest, pass.same);
        passes.push_back(std::move(pass));
    }
    return passes;
}
