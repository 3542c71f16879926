#pragma once
// The undo of earlier move runs, from their kept files (move_history.h): the
// command line's `undo --run ID` and `undo --all`, and the list of kept runs
// it chooses from. Like the undo of the last run, it holds the working
// folder's mover lock throughout and never writes a log.

#include "jobs/defect_scan/move_log.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class JobHost;
struct AppSettings;

struct KeptRunUndo {
    UndoResult result;      // summed over the runs undone; `busy` when refused
    int runs = 0;           // runs undone (or begun, when stopped)
    bool noSuchRun = false; // the id names no kept run
};

// Moves back the files of the kept run `id`, or of every kept run, newest
// first, when `id` is empty. A move log no kept run lists yet is kept first.
// Kept runs whose files are all back are forgotten afterwards.
KeptRunUndo UndoKeptRuns(JobHost& host, const QString& id, const UndoListener& listener = {});

struct KeptRunSummary {
    QString id;
    QDateTime started; // local time
    QStringList startFolders;
    int moved = 0;      // pairs the run recorded
    int stillMoved = 0; // of those, files standing at their new paths now
};

// The kept runs of the working folder of `settings`, newest first. When no
// other mover holds the folder, a move log no kept run lists yet is kept
// first, so that it shows too.
QList<KeptRunSummary> ListKeptRuns(const AppSettings& settings);
