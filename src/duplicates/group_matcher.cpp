#include "duplicates/group_matcher.h"

#include "duplicates/block_compare.h"
#include "duplicates/file_fingerprint.h"

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
