#include "jobs/defect_scan/kept_run_undo.h"

#include "base/scope_exit.h"
#include "fs/file_ops.h"
#include "fs/path_utils.h"
#include "jobs/defect_scan/move_history.h"
#include "jobs/defect_scan/mover_lock.h"
#include "jobs/framework/job_host.h"
#include "settings/app_settings.h"

#include <algorithm>

namespace {

// The runs to undo, newest first. A log that no kept run lists and that
// could not be kept is undone too, as the newest.
QList<QStringList> runsToUndo(const QString& logPath, const QString& id, bool& noSuchRun) {
    const bool logKept = KeepUnrecordedLog(logPath);
    QList<KeptRun> kept = ReadKeptRuns(KeptRunsFolder(logPath));
    std::reverse(kept.begin(), kept.end());
    QList<QStringList> runs;
    if (!logKept && id.isEmpty())
        runs.append(ReadMoveLog(logPath).lines);
    for (const KeptRun& run : std::as_const(kept))
        if (id.isEmpty() || run.id == id)
            runs.append(run.lines);
    noSuchRun = !id.isEmpty() && runs.isEmpty();
    return runs;
}

} // namespace

KeptRunUndo UndoKeptRuns(JobHost& host, const QString& id, const UndoListener& listener) {
    KeptRunUndo undo;
    const MoverLock lock = MoverLock::acquire(host.settings());
    if (lock.refused()) {
        ShowMoverRefusal(host, lock);
        undo.result.busy = true;
        return undo;
    }
    host.setBusyCursor(true);
    ScopeExit restoreCursor([&] { host.setBusyCursor(false); });
    const QString logPath = ProtocolFilePath(host.settings());
    RemoveLeftoverTemporaries(FolderOf(logPath));
    RemoveLeftoverTemporaries(KeptRunsFolder(logPath));
    undo.result.logRead = true;
    const QList<QStringList> runs = runsToUndo(logPath, id, undo.noSuchRun);
    for (const QStringList& lines : runs) {
        if (lines.isEmpty())
            continue; // an empty pair is nothing to count
        ++undo.runs;
        UndoPairs(lines, listener, undo.result);
        if (undo.result.stopped)
            break;
    }
    ForgetFinishedRuns(KeptRunsFolder(logPath));
    restoreCursor.runNow();
    host.refreshFileList();
    return undo;
}

QList<KeptRunSummary> ListKeptRuns(const AppSettings& settings) {
    const QString logPath = ProtocolFilePath(settings);
    {
        const MoverLock lock = MoverLock::acquire(settings);
        if (lock.state() == MoverLock::State::Held)
            KeepUnrecordedLog(logPath);
    }
    QList<KeptRunSummary> list;
    const QList<KeptRun> runs = ReadKeptRuns(KeptRunsFolder(logPath));
    for (auto run = runs.crbegin(); run != runs.crend(); ++run)
        list.append(
            {run->id, run->started(), run->startFolders, run->moved(), FilesStillMoved(*run)});
    return list;
}
