#pragma once
// Copies or moves the defective files of one scan into the defect folder and
// keeps the records of a move run: the move log (the last run's pairs) and
// the run's kept file, both written before each move, so that a run killed
// at any moment leaves a record of every file it moved.

#include "jobs/defect_scan/defect_numbers.h"
#include "jobs/defect_scan/defect_scan.h"
#include "jobs/defect_scan/move_history.h"
#include "jobs/defect_scan/move_log.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>

class JobHost;

class DefectMover {
public:
    // For a move run the caller holds the mover lock. `startFolders` go into
    // the kept file's header.
    DefectMover(JobHost& host, DefectScanReporter& reporter, const DefectScanOptions& options,
                const QStringList& startFolders, DefectScanResult& result);
    ~DefectMover();

    // Copies or moves one defective file under the next free number.
    void handle(const QString& path, int width);

    // Paths this run moved or copied a file from or to.
    const QSet<QString>& touched() const { return m_touched; }

    // Replaces the move log with this run's pairs (empty after a copy run);
    // false when it was not replaced.
    bool finishLog();

    // Whether the undo may act on the log: this run's, and something moved.
    bool undoable() const;

private:
    void copy(const QString& path, int width);
    void move(const QString& path, int width);
    bool moveUnderFreeNumber(const QString& path, int width, QString& to);
    bool record(const QString& former, const QString& moved);
    void dropRecord();
    void makeDefectFolder();
    QString placedByEarlierRun(const QString& path) const;
    void report(const QString& path, const QString& target, DefectTransfer outcome);

    JobHost& m_host;
    DefectScanReporter& m_reporter;
    const DefectScanOptions& m_options;
    DefectScanResult& m_result;
    const QString m_logPath;
    std::unique_ptr<DefectNumbers> m_numbers;
    std::unique_ptr<MoveLogJournal> m_journal;
    std::unique_ptr<KeptRunJournal> m_kept;
    QHash<QString, QString> m_previousMoves; // kept runs: former path -> new path
    QSet<QString> m_touched;
    bool m_logBlocked = false; // the old log holds records nothing else keeps
    bool m_folderMade = false;
};
