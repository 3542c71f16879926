#pragma once
// The move log of the defect scan and its undo. The log is a text file, one
// path per line, each line ended by CR LF, in pairs: former path, new path.
// Paths holding a line break are never logged (the scan does not move such
// files), so every line of the log is exactly one path.

#include "base/file_descriptor.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class JobHost;

// False for a path that a line-based log could not hold unambiguously.
bool IsLoggablePath(const QString& path);

// The log file's bytes for these lines.
QByteArray EncodeMoveLog(const QStringList& lines);

// Replaces the log file atomically with these lines; false when it failed.
bool WriteMoveLog(const QString& logPath, const QStringList& lines);

// Keeps the log on disk current while a move run goes on, so that a run
// killed half-way still leaves the pairs of every move it began: the log is
// emptied (atomically) when the run starts, and each pair is appended in one
// write before its move. The run's end still replaces the whole file
// atomically with the complete list. A move whose pair could not be written
// is not made: it could never be undone.
class MoveLogJournal {
public:
    explicit MoveLogJournal(const QString& logPath);
    // Appends to the file as it is (a kept run's file, see move_history.h).
    static std::unique_ptr<MoveLogJournal> appendingTo(const QString& path);
    ~MoveLogJournal();
    MoveLogJournal(const MoveLogJournal&) = delete;
    MoveLogJournal& operator=(const MoveLogJournal&) = delete;

    // The log was emptied for this run and can take pairs.
    bool started() const { return m_started; }
    bool isOpen() const { return m_fd.valid(); }
    // False when the pair did not reach the file; the journal is closed then.
    bool append(const QString& former, const QString& moved);
    // Takes the last appended pair off again: its move was not made.
    void dropLastPair();

private:
    MoveLogJournal() = default;

    FileDescriptor m_fd;
    bool m_started = false;
    qsizetype m_lastPairSize = 0;
};

// The log's lines; an unreadable or missing file gives no lines.
struct MoveLogContent {
    bool readable = false;
    QStringList lines;
};
MoveLogContent ReadMoveLog(const QString& logPath);

// What became of one pair of the log.
enum class UndoOutcome {
    Restored,          // moved back to its former path
    NotInDefectFolder, // nothing at the new path: never moved, or moved back already
    FormerPathTaken,   // left in place: a file stands at the former path
    FolderMissing,     // left in place: the former folder is gone (never created)
    Failed,            // left in place: the move back failed
};

struct UndoResult {
    bool busy = false;    // another move run or undo held the working folder: nothing done
    bool logRead = false; // the log file could be opened
    int pairs = 0;        // pairs read (an empty file counts as one empty pair)
    int restored = 0;     // pairs whose file is back at its former path
    int waiting = 0;      // pairs whose file stood at its new path when the undo came to it
    bool stopped = false; // stopRequested ended the undo between two pairs
    // Moved files still where the run put them: their former path was taken
    // by another file, or its folder is gone.
    QStringList leftInPlace;
    int failed() const { return int(leftInPlace.size()); }
};

// Lets a caller stop an undo between two files and hear about each pair.
struct UndoListener {
    std::function<bool()> stopRequested; // asked before each pair
    std::function<void(const QString& moved, const QString& former, UndoOutcome outcome)> pairDone;
};

// Moves every logged file back to its former path, pairs in file order.
// Never replaces a file now standing at a former path, never creates a
// folder, never writes the log (so an undo that was stopped can simply be
// run again). When the former path already holds exactly the moved file's
// bytes (a run killed after its copy was complete), the moved file is removed
// and the pair counts as undone. Temporary files that killed runs left in the
// folders it touches are removed first.
UndoResult UndoMoves(const QString& logPath, const UndoListener& listener = {});

// The same for the lines of a log read already; adds to `result`.
void UndoPairs(const QStringList& lines, const UndoListener& listener, UndoResult& result);

// The undo command: busy cursor, UndoMoves on the log of the current working
// folder, normal cursor, refreshed file list, and a summary line (moved back
// k of n). Unless the caller hears about each pair itself (a pairDone), each
// file left in the defect folder goes to the host's reportSkipped with why.
// Holds the working folder's mover lock throughout; when another run holds
// it, shows why and does nothing (`busy`). Kept runs whose files are all back
// are forgotten afterwards. Disabling the command is left to the window.
UndoResult UndoLastMoveRun(JobHost& host, const UndoListener& listener = {});
