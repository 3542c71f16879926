#pragma once
// The pairwise walk over one group of equal-size files, played from the
// group's classes of identical files instead of comparing pair by pair.
//
// The walk (CompareSameSizeGroup) takes the group's first file F, compares it
// with every other file from the last to the second, lists each file
// identical to F after F and drops it, then drops F, ends the pass with an
// empty line when F had a match, and goes on while two files remain. A group
// of n different files costs it n(n-1)/2 comparisons; what it shows, though,
// changes only at a match and at the end of a pass with matches. Knowing F's
// class, the ordinal of each comparison that finds a match follows from the
// position of the matched file among the files still in the walk, which a
// Fenwick tree gives in O(log n): the whole group costs O(n log n).
//
// Where the walk may be stopped (after any comparison), the played walk
// offers a checkpoint at the ordinal that leaves exactly the lines and the
// counter of the pairwise walk stopped there: before each match, at the last
// comparison of a pass with matches, and at any moment between (the state
// does not change there). The empty line that ends a pass is written once
// the walk is past that pass's last comparison.

#include <QtGlobal>

#include <vector>

class GroupWalk {
public:
    // What the walk shows, and where it may stop.
    class Observer {
    public:
        virtual ~Observer() = default;
        // The walk has made `comparisons` comparisons in this group and
        // reads its stop request; false stops it here.
        virtual bool goOn(qint64 comparisons) = 0;
        // `member` was found identical to `first`; `firstMatch` for the
        // first match of the pass, which lists `first` before it.
        virtual void matched(qsizetype first, qsizetype member, bool firstMatch) = 0;
        // The empty line after a pass with matches.
        virtual void passEnded() = 0;
    };

    // A group of `size` files, indices 0 .. size - 1 in the walk's order.
    explicit GroupWalk(qsizetype size);

    // Fewer than two files are left: the walk is over.
    bool done() const { return m_remaining < 2; }
    // The first file of the coming pass: the smallest index still in the walk.
    qsizetype first() const { return m_first; }
    // Comparisons made so far in this group.
    qint64 comparisons() const { return m_comparisons; }

    // Plays the pass of first(); `identical` are the files identical to it
    // (indices above first() still in the walk, in any order). False when
    // the observer stopped the walk; the walk must not be played further.
    bool playPass(std::vector<qsizetype> identical, Observer& observer);

    // A checkpoint where the walk stands (between passes); false to stop.
    bool checkpoint(Observer& observer) { return checkpointAt(m_comparisons, observer); }

    // The walk came to its end: the empty line of its last pass, if due.
    void finish(Observer& observer);

private:
    void writeBlankBefore(qint64 ordinal, Observer& observer);
    bool checkpointAt(qint64 ordinal, Observer& observer);
    // Files still in the walk with an index below `index`.
    qsizetype remainingBelow(qsizetype index) const;
    void remove(qsizetype index);

    std::vector<qint32> m_tree; // Fenwick tree over "still in the walk"
    std::vector<bool> m_removed;
    qsizetype m_remaining = 0;
    qsizetype m_first = 0;
    qint64 m_comparisons = 0;
    bool m_blankDue = false; // a pass with matches ended at m_blankAfter
    qint64 m_blankAfter = 0;
};
