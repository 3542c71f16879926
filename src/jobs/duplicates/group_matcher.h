#pragma once
// Answers "which of these files hold exactly the bytes of that one?" for one
// group of files of equal size. Each file's fingerprint is taken once; only
// files whose fingerprint equals the first file's are read wholly, all of
// them together in one streamed pass, so a file and its copies are read once
// per question instead of once per pair.
//
// A file that cannot be opened or read (vanished, no permission, an I/O
// error) matches nothing from then on and is reported once.

#include <QString>
#include <QStringList>

#include <atomic>
#include <optional>
#include <vector>

class GroupMatcher {
public:
    explicit GroupMatcher(QStringList paths) : m_paths(std::move(paths)) {
        m_fingerprints.resize(std::size_t(m_paths.size()));
        m_state.assign(std::size_t(m_paths.size()), State::Unknown);
    }

    // For each of `others` (indices into the paths): true when that file has
    // the length and the bytes of file `first`.
    std::vector<bool> identicalTo(qsizetype first, const std::vector<qsizetype>& others);

    bool failed(qsizetype i) const { return m_state[std::size_t(i)] == State::Failed; }
    // The files that failed since the last call, in the order they failed.
    QStringList takeNewlyFailed();

private:
    enum class State : unsigned char { Unknown, Known, Failed };

    std::optional<quint64> fingerprint(qsizetype i);
    void fail(qsizetype i);

    QStringList m_paths;
    std::vector<std::optional<quint64>> m_fingerprints;
    std::vector<State> m_state;
    QStringList m_newlyFailed;
};

// What one pass of the group walk learns: for each other file, whether it is
// identical to the pass's first file, and which files turned out unreadable.
struct PassAnswer {
    std::vector<bool> same;
    QStringList failed;
};

// The walk's next group after a pass: the matched files and the first file
// leave. `rest` holds indices into the group, the first file first.
void AdvanceWalk(std::vector<qsizetype>& rest, const std::vector<bool>& same);

// Every pass of the walk over `group` (in walk order), computed in one go so
// that another thread can do the reading. Ends early, with fewer passes, when
// `cancel` becomes true.
std::vector<PassAnswer> AnswerWalk(const QStringList& group, const std::atomic<bool>& cancel);
