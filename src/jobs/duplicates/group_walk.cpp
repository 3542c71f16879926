#include "jobs/duplicates/group_walk.h"

#include <algorithm>
#include <functional>

GroupWalk::GroupWalk(qsizetype size)
    : m_tree(std::size_t(size) + 1), m_removed(std::size_t(size), false), m_remaining(size) {
    // Every file present: node i of a Fenwick tree over ones covers i & -i files.
    for (qsizetype i = 1; i <= size; ++i)
        m_tree[std::size_t(i)] = qint32(i & -i);
}

qsizetype GroupWalk::remainingBelow(qsizetype index) const {
    qsizetype count = 0;
    for (qsizetype i = index; i > 0; i -= i & -i)
        count += m_tree[std::size_t(i)];
    return count;
}

void GroupWalk::remove(qsizetype index) {
    m_removed[std::size_t(index)] = true;
    --m_remaining;
    for (qsizetype i = index + 1; i < qsizetype(m_tree.size()); i += i & -i)
        --m_tree[std::size_t(i)];
}

void GroupWalk::writeBlankBefore(qint64 ordinal, Observer& observer) {
    // The walk writes a pass's empty line right after its last comparison.
    if (m_blankDue && ordinal > m_blankAfter) {
        m_blankDue = false;
        observer.passEnded();
    }
}

bool GroupWalk::checkpointAt(qint64 ordinal, Observer& observer) {
    writeBlankBefore(ordinal, observer);
    return observer.goOn(ordinal);
}

bool GroupWalk::playPass(std::vector<qsizetype> identical, Observer& observer) {
    const qsizetype first = m_first;
    const qint64 base = m_comparisons;
    const qsizetype inWalk = m_remaining;
    // The walk compares from the last file down: the file at position k
    // (first() at 0) is met by comparison inWalk - k of the pass. Matches
    // leave the walk only behind the position being compared, so every
    // position is the one at the start of the pass.
    std::sort(identical.begin(), identical.end(), std::greater<>());
    bool firstMatch = true;
    for (const qsizetype member : identical) {
        const qint64 ordinal = base + (inWalk - remainingBelow(member));
        if (!checkpointAt(ordinal - 1, observer))
            return false;
        writeBlankBefore(ordinal, observer);
        observer.matched(first, member, firstMatch);
        firstMatch = false;
    }
    const qint64 last = base + inWalk - 1;
    if (!identical.empty() && !checkpointAt(last, observer))
        return false;
    for (const qsizetype member : identical)
        remove(member);
    remove(first);
    m_comparisons = last;
    if (!identical.empty()) {
        m_blankDue = true;
        m_blankAfter = last;
    }
    while (m_first < qsizetype(m_removed.size()) && m_removed[std::size_t(m_first)])
        ++m_first;
    return true;
}

void GroupWalk::finish(Observer& observer) {
    writeBlankBefore(m_comparisons + 1, observer);
}
