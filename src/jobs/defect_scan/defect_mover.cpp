#include "jobs/defect_scan/defect_mover.h"

#include "fs/file_ops.h"
#include "fs/path_utils.h"
#include "jobs/defect_scan/mover_lock.h"
#include "jobs/framework/job_host.h"
#include "settings/app_settings.h"

namespace {

// Names taken behind the run's back (another run writing into the same
// defect folder) are passed over; this many in a row mean something else
// is wrong.
constexpr int kNameAttempts = 32;

QStringList recordedTargets(const QList<KeptRun>& runs) {
    QStringList targets;
    for (const KeptRun& run : runs)
        for (qsizetype i = 1; i < run.lines.size(); i += 2)
            targets.append(run.lines.at(i));
    return targets;
}

} // namespace

DefectMover::DefectMover(JobHost& host, DefectScanReporter& reporter,
                         const DefectScanOptions& options, const QStringList& startFolders,
                         DefectScanResult& result)
    : m_host(host), m_reporter(reporter), m_options(options), m_result(result),
      m_logPath(ProtocolFilePath(host.settings())) {
    const QString keptFolder = KeptRunsFolder(m_logPath);
    // What killed runs left half-written in the folders this run writes to.
    RemoveLeftoverTemporaries(result.defectFolder);
    RemoveLeftoverTemporaries(FolderOf(m_logPath));
    if (options.move) {
        RemoveLeftoverTemporaries(keptFolder);
        ForgetFinishedRuns(keptFolder);
        // The log is replaced below: its records must be kept first.
        m_logBlocked = !KeepUnrecordedLog(m_logPath);
    }
    const QList<KeptRun> kept = ReadKeptRuns(keptFolder);
    m_numbers = std::make_unique<DefectNumbers>(result.defectFolder, recordedTargets(kept));
    if (!options.move || m_logBlocked)
        return;
    // Oldest first, so that the latest record of a path wins: a run killed
    // before it came to a file leaves the run before it the one that knows.
    for (const KeptRun& run : kept)
        for (qsizetype i = 0; i + 1 < run.lines.size(); i += 2)
            m_previousMoves.insert(run.lines.at(i), run.lines.at(i + 1));
    m_kept = std::make_unique<KeptRunJournal>(keptFolder, startFolders);
    m_journal = std::make_unique<MoveLogJournal>(m_logPath);
}

DefectMover::~DefectMover() = default;

void DefectMover::handle(const QString& path, int width) {
    if (m_options.move)
        move(path, width);
    else
        copy(path, width);
}

void DefectMover::copy(const QString& path, int width) {
    // Copying twice makes no second copy of a picture.
    const QString earlier = m_numbers->earlierCopy(path);
    if (!earlier.isEmpty()) {
        report(path, earlier, DefectTransfer::AlreadyThere);
        return;
    }
    QString to;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        to = m_result.defectFolder + DefectFileName(m_numbers->take(), width, path);
        if (FileExists(to))
            continue;
        makeDefectFolder();
        if (CopyFileNoOverwrite(path, to)) {
            report(path, to, DefectTransfer::Done);
            return;
        }
        if (!FileExists(to))
            break;
    }
    report(path, to, DefectTransfer::Failed);
}

// Once per run rather than once per file; again after a failure, in case
// the folder was removed meanwhile.
void DefectMover::makeDefectFolder() {
    if (!m_folderMade)
        m_folderMade = MakeFolderPath(m_result.defectFolder);
}

// Where an earlier run already placed this very file: a run killed after
// copying it across file systems, before it removed the source, left the
// whole picture there. Empty when it did not.
QString DefectMover::placedByEarlierRun(const QString& path) const {
    const QString placed = m_previousMoves.value(path);
    return !placed.isEmpty() && SameFileContent(path, placed) ? placed : QString();
}

void DefectMover::move(const QString& path, int width) {
    // A line break would split the pair in the line-based log, and the
    // undo would then rename files this run never moved.
    if (!IsLoggablePath(path)) {
        ++m_result.unsafeNames;
        report(path, QString(), DefectTransfer::UnsafeName);
        return;
    }
    // That move is finished by removing the source, and recorded as this
    // run's, so that the picture stays once and the undo brings it back.
    QString to = placedByEarlierRun(path);
    if (!to.isEmpty()) {
        if (!record(path, to))
            return;
        const bool done = RemoveFile(path);
        if (done)
            m_host.lists().ProtokollListBox << path << to;
        else
            dropRecord();
        report(path, to, done ? DefectTransfer::Done : DefectTransfer::Failed);
        return;
    }
    if (moveUnderFreeNumber(path, width, to))
        report(path, to, DefectTransfer::Done);
    else if (!to.isEmpty())
        report(path, to, DefectTransfer::Failed);
}

// False with `to` empty when the pair could not be recorded (reported).
bool DefectMover::moveUnderFreeNumber(const QString& path, int width, QString& to) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        to = m_result.defectFolder + DefectFileName(m_numbers->take(), width, path);
        if (FileExists(to))
            continue;
        if (!IsLoggablePath(to)) {
            ++m_result.unsafeNames;
            report(path, to, DefectTransfer::UnsafeName);
            to.clear();
            return false;
        }
        // The folder first: a record names only folders that exist, so
        // that a kept run is forgotten once its files are gone.
        makeDefectFolder();
        // Recorded before the move: a kill in between leaves a pair whose
        // undo fails harmlessly, never a moved file no record knows.
        if (!record(path, to)) {
            to.clear();
            return false;
        }
        if (MoveFileNoOverwrite(path, to)) {
            m_host.lists().ProtokollListBox << path << to;
            return true;
        }
        // Only moves made stay recorded: the undo of a pair whose move
        // failed would move a file this run never moved.
        dropRecord();
        m_folderMade = false;
        if (!FileExists(to) || !FileExists(path))
            return false;
    }
    return false;
}

// The pair goes into the kept file, then into the log; a pair either cannot
// take means no move (it could not be undone).
bool DefectMover::record(const QString& former, const QString& moved) {
    if (m_journal && m_kept && m_kept->append(former, moved)) {
        if (m_journal->append(former, moved))
            return true;
        m_kept->dropLastPair();
    }
    ++m_result.unlogged;
    report(former, moved, DefectTransfer::Unlogged);
    return false;
}

void DefectMover::dropRecord() {
    m_journal->dropLastPair();
    m_kept->dropLastPair();
}

bool DefectMover::finishLog() {
    if (m_options.move) {
        // Without its journal this run left the log alone: it is an earlier
        // run's whose records could not be kept.
        return !m_logBlocked && WriteMoveLog(m_logPath, m_host.lists().ProtokollListBox);
    }
    // A copy run takes no lock; while a mover runs, that mover has kept the
    // log it replaced, and the log's pairs are in its kept file already.
    const MoverLock lock = MoverLock::acquire(m_host.settings());
    if (!lock.refused() && !KeepUnrecordedLog(m_logPath))
        return false;
    return WriteMoveLog(m_logPath, m_host.lists().ProtokollListBox);
}

bool DefectMover::undoable() const {
    return m_options.move && m_journal && m_journal->started() && m_result.transferred > 0;
}

void DefectMover::report(const QString& path, const QString& target, DefectTransfer outcome) {
    if (outcome == DefectTransfer::Done) {
        ++m_result.transferred;
        m_touched << path << target;
    } else if (outcome == DefectTransfer::AlreadyThere) {
        ++m_result.alreadyThere;
    } else if (outcome == DefectTransfer::Failed) {
        m_folderMade = false;
    }
    m_reporter.noteDefectiveFile(path, target, outcome);
}
