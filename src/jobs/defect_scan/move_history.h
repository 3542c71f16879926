#pragma once
// The kept move runs. The move log holds the last run's pairs only, and any
// later run (a copy run too) replaces it; so every move run also writes its
// pairs, as its moves happen, into a file of its own in the folder
// "Protokolle" beside the log, named by its run id (its start in UTC, which
// sorts by time: "20250314T101502Z-01"). A kept run holds the log's lines
// behind a few header lines of the form "#start <folder>", CR LF as in the
// log. Nothing the program writes ever removes a kept run while one of its
// files is still in a defect folder.

#include "jobs/defect_scan/move_log.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

struct AppSettings;

struct KeptRun {
    QString id;
    QString path;
    QStringList startFolders;
    QStringList lines; // pairs: former path, new path
    int moved() const { return int(lines.size() / 2); }
    // When the run started, from its id.
    QDateTime started() const;
};

// "Protokolle/" in the folder of the move log `logPath`.
QString KeptRunsFolder(const QString& logPath);

// Every kept run of the folder, oldest first.
QList<KeptRun> ReadKeptRuns(const QString& folder);

// How many of the run's moved files stand at their new paths now.
int FilesStillMoved(const KeptRun& run);

// Writes one move run's kept file as its moves happen: created (through a
// temporary file, under a new run id) with its header and first pair, then
// one append per pair. Like MoveLogJournal, a pair that does not reach the
// file is reported, and the move must not be made.
class KeptRunJournal {
public:
    KeptRunJournal(const QString& folder, const QStringList& startFolders);
    ~KeptRunJournal();
    KeptRunJournal(const KeptRunJournal&) = delete;
    KeptRunJournal& operator=(const KeptRunJournal&) = delete;

    bool append(const QString& former, const QString& moved);
    void dropLastPair();
    // Empty until the first pair was written.
    QString id() const { return m_id; }

private:
    QString m_folder;
    QByteArray m_header;
    QString m_id;
    std::unique_ptr<MoveLogJournal> m_journal;
    bool m_failed = false;
};

// Writes `lines` as a new kept run dated `started`; its id, or empty when it
// could not be written.
QString WriteKeptRun(const QString& folder, const QDateTime& started,
                     const QStringList& startFolders, const QStringList& lines);

// Before the move log is replaced: when it names a moved file still at its
// new path that no kept run lists (a log of an older version of the program,
// or one whose kept run could not be written), the log is kept as a run of
// its own. False when such a log could not be kept: it must then not be
// replaced.
bool KeepUnrecordedLog(const QString& logPath);

// Removes the kept runs none of whose files is still moved: each new path is
// free and its folder exists (a defect folder on a drive that is not there
// keeps its runs). Returns how many were removed.
int ForgetFinishedRuns(const QString& folder);
