#include "jobs/defect_scan/move_log.h"

#include "base/scope_exit.h"
#include "fs/file_name_bytes.h"
#include "fs/file_ops.h"
#include "fs/path_utils.h"
#include "i18n/own_texts.h"
#include "jobs/defect_scan/move_history.h"
#include "jobs/defect_scan/mover_lock.h"
#include "jobs/framework/job_host.h"
#include "jobs/framework/job_run.h"
#include "settings/app_settings.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool IsLoggablePath(const QString& path) {
    return !path.contains(QLatin1Char('\n')) && !path.contains(QLatin1Char('\r'));
}

QByteArray EncodeMoveLog(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += QFile::encodeName(line);
        bytes += "\r\n";
    }
    return bytes;
}

bool WriteMoveLog(const QString& logPath, const QStringList& lines) {
    return ReplaceFileAtomically(logPath, EncodeMoveLog(lines));
}

MoveLogJournal::MoveLogJournal(const QString& logPath) {
    if (logPath.isEmpty() || !ReplaceFileAtomically(logPath, QByteArray()))
        return;
    m_started = true;
    m_fd.reset(::open(QFile::encodeName(logPath).constData(), O_WRONLY | O_APPEND | O_CLOEXEC));
}

std::unique_ptr<MoveLogJournal> MoveLogJournal::appendingTo(const QString& path) {
    std::unique_ptr<MoveLogJournal> journal(new MoveLogJournal);
    journal->m_fd.reset(
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW));
    journal->m_started = journal->m_fd.valid();
    return journal;
}

MoveLogJournal::~MoveLogJournal() = default;

bool MoveLogJournal::append(const QString& former, const QString& moved) {
    if (!m_fd.valid())
        return false;
    // One write per pair: a kill never leaves half a pair behind a whole one.
    const QByteArray pair = EncodeMoveLog({former, moved});
    ssize_t written;
    do {
        written = ::write(m_fd.get(), pair.constData(), size_t(pair.size()));
    } while (written < 0 && errno == EINTR);
    if (written == pair.size()) {
        m_lastPairSize = pair.size();
        return true;
    }
    // A short write leaves half a pair: cut it off again, then stop, so the
    // log holds exactly the pairs of the moves made.
    if (written > 0)
        (void)::ftruncate(m_fd.get(), ::lseek(m_fd.get(), 0, SEEK_END) - written);
    m_fd.close();
    return false;
}

void MoveLogJournal::dropLastPair() {
    if (!m_fd.valid() || m_lastPairSize == 0)
        return;
    const off_t end = ::lseek(m_fd.get(), 0, SEEK_END);
    if (end < m_lastPairSize || ::ftruncate(m_fd.get(), end - m_lastPairSize) != 0)
        m_fd.close(); // the log would list a move never made: take no more pairs
    m_lastPairSize = 0;
}

MoveLogContent ReadMoveLog(const QString& logPath) {
    MoveLogContent content;
    QFile file(logPath);
    if (logPath.isEmpty() || !file.open(QIODevice::ReadOnly))
        return content;
    const QByteArray bytes = file.readAll();
    content.readable = true;
    if (bytes.isEmpty())
        return content;
    QList<QByteArray> lines = bytes.split('\n');
    if (bytes.endsWith('\n'))
        lines.removeLast(); // the line end of the last line starts no new line
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        content.lines.append(QFile::decodeName(line));
    }
    return content;
}

namespace {

// True when the file is back at `former`: moved back, or found there whole.
bool moveBack(const QString& former, const QString& moved) {
    if (MoveFileNoOverwrite(moved, former))
        return true;
    // A run killed after its copy was complete (across file systems) left
    // the picture at both places; the bytes at the former path are whole.
    return SameFileContent(moved, former) && RemoveFile(moved);
}

// What became of the pair, and why a file stays where the run put it.
UndoOutcome undoPair(const QString& former, const QString& moved) {
    if (!FileExists(moved))
        return UndoOutcome::NotInDefectFolder;
    if (moveBack(former, moved))
        return UndoOutcome::Restored;
    if (FileExists(former))
        return UndoOutcome::FormerPathTaken;
    const QString folder = FolderOf(former);
    return folder.isEmpty() || !FileExists(folder) ? UndoOutcome::FolderMissing
                                                   : UndoOutcome::Failed;
}

} // namespace

UndoResult UndoMoves(const QString& logPath, const UndoListener& listener) {
    UndoResult result;
    const MoveLogContent log = ReadMoveLog(logPath);
    if (!log.readable)
        return result;
    result.logRead = true;
    UndoPairs(log.lines, listener, result);
    return result;
}

void UndoPairs(const QStringList& lines, const UndoListener& listener, UndoResult& result) {
    LeftoverSweeper sweeper;
    // An empty file reads as one pair of empty paths, an odd last line as a
    // pair without new path; both have nothing to move back.
    qsizetype i = 0;
    do {
        if (listener.stopRequested && listener.stopRequested()) {
            result.stopped = true;
            break;
        }
        const QString former = lines.value(i);
        const QString moved = lines.value(i + 1);
        ++result.pairs;
        i += 2;
        UndoOutcome outcome = UndoOutcome::NotInDefectFolder;
        if (!former.isEmpty() && !moved.isEmpty()) {
            sweeper.sweep(former);
            sweeper.sweep(moved);
            outcome = undoPair(former, moved);
        }
        if (outcome != UndoOutcome::NotInDefectFolder)
            ++result.waiting;
        if (outcome == UndoOutcome::Restored)
            ++result.restored;
        else if (outcome != UndoOutcome::NotInDefectFolder)
            result.leftInPlace.append(moved);
        if (listener.pairDone)
            listener.pairDone(moved, former, outcome);
    } while (i < lines.size());
}

namespace {

QString leftInPlaceReason(UndoOutcome outcome, const QString& former) {
    const QString shown = ReadableName(former);
    switch (outcome) {
    case UndoOutcome::FormerPathTaken:
        return OwnText("undo.skip.former_taken").arg(shown);
    case UndoOutcome::FolderMissing:
        return OwnText("undo.skip.folder_missing").arg(shown);
    default:
        return OwnText("undo.skip.failed").arg(shown);
    }
}

} // namespace

UndoResult UndoLastMoveRun(JobHost& host, const UndoListener& listener) {
    const MoverLock lock = MoverLock::acquire(host.settings());
    if (lock.refused()) {
        ShowMoverRefusal(host, lock);
        UndoResult refused;
        refused.busy = true;
        return refused;
    }
    JobReport report(host);
    UndoListener reporting = listener;
    if (!reporting.pairDone)
        reporting.pairDone = [&host](const QString& moved, const QString& former,
                                     UndoOutcome outcome) {
            if (outcome != UndoOutcome::Restored && outcome != UndoOutcome::NotInDefectFolder)
                host.reportSkipped(moved, leftInPlaceReason(outcome, former));
        };
    host.setBusyCursor(true);
    ScopeExit restoreCursor([&] { host.setBusyCursor(false); });
    const QString logPath = ProtocolFilePath(host.settings());
    // What a killed scan left half-written beside the log.
    RemoveLeftoverTemporaries(FolderOf(logPath));
    // A copy run may replace the log while this undo works on it.
    KeepUnrecordedLog(logPath);
    const UndoResult result = UndoMoves(logPath, reporting);
    ForgetFinishedRuns(KeptRunsFolder(logPath));
    restoreCursor.runNow();
    host.refreshFileList();
    QString summary = result.logRead
                          ? OwnText("summary.undo").arg(result.restored).arg(result.waiting)
                          : OwnText("summary.undo.no_log");
    if (result.failed() > 0)
        summary += OwnText("summary.undo.left").arg(result.failed());
    host.showSummary(summary);
    return result;
}
