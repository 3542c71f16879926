#pragma once
// The frame every job runs in, and the loop it works through its files with.
//
//     JobRun run(host, JobKind::DefectScan, kDefectScanControls.progress,
//                {kDefectScanControls.defectsFound});
//     run.startWatcher(WatcherKind::DefekteJPEGs);
//     CollectJpegFilesRecursive(host, list, folder);
//     run.stopWatcher();
//     FileLoop loop(host, &StopFlags::JpegJobStop, kDefectScanControls.progress, list.size());
//     for (const QString& path : list) {
//         if (!loop.next())
//             break;
//         ... one file ...
//         loop.advance();
//     }
//     run.end();
//
// However the run ends (normally, early, by a stop or by an exception), the
// window is given back in one order: the watcher is stopped, the window is
// unlocked, the cursor is restored; then the host lists what the job
// reported skipped (JobReport).

#include "jobs/framework/job_controls.h"
#include "jobs/framework/job_host.h"

#include <QStringList>

#include <atomic>
#include <cstdint>

// The span of one job for the host's list of skipped entries: from its
// construction to its destruction, also when an exception ends the job. Every
// JobRun holds one; a job that runs without a JobRun (it locks nothing) opens
// its own.
class JobReport {
public:
    explicit JobReport(JobHost& host) : m_host(host) { m_host.beginJobReport(); }
    ~JobReport();
    JobReport(const JobReport&) = delete;
    JobReport& operator=(const JobReport&) = delete;

private:
    JobHost& m_host;
};

class JobRun {
public:
    // Shows the busy cursor, locks the window for `kind`, and sets the bar
    // to 0 and the "done" counter and each of `otherCounters` to "0".
    JobRun(JobHost& host, JobKind kind, const ProgressControls& progress,
           const QStringList& otherCounters = {});
    ~JobRun();
    JobRun(const JobRun&) = delete;
    JobRun& operator=(const JobRun&) = delete;

    // The collection watcher, from just before collecting to just after.
    void startWatcher(WatcherKind kind);
    void stopWatcher();

    // Gives the window back now (before a closing message); once only. The
    // list of skipped entries follows when the JobRun goes out of scope,
    // after the closing message.
    void end();

private:
    JobReport m_report; // first in, last out: after the window is given back
    JobHost& m_host;
    JobKind m_kind;
    bool m_watching = false;
    bool m_ended = false;
};

// Which of the two stop requests a job obeys.
using StopFlag = std::atomic<std::uint8_t> StopFlags::*;

// Works through a job's files one by one: before each file it lets pending
// messages through and reads the stop flag; after each it advances the bar
// and the "done" counter.
class FileLoop {
public:
    // Whether the loop clears the stop flag: the defect scan and the
    // reduction clear theirs just before the loop (an abort while collecting
    // has no effect); the jobs that clear it at their start keep it here.
    enum class StopAtStart { Clear, Keep };

    // Sets the bar's maximum and the "total" counter to `total`.
    FileLoop(JobHost& host, StopFlag flag, const ProgressControls& progress, qsizetype total,
             StopAtStart atStart = StopAtStart::Clear);

    // False when the job is to stop before the next file.
    bool next();
    // One more file handled.
    void advance();

    int done() const { return m_done; }
    bool stopped() const { return m_stopped; }

private:
    JobHost& m_host;
    StopFlag m_flag;
    ProgressControls m_progress;
    int m_done = 0;
    bool m_stopped = false;
};
