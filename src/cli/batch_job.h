#pragma once
// One job of kelvasto-batch: its name, a one-line summary, its help and what
// it runs. Each job lives in its own file under jobs/ and has one row in the
// table (job_table.cpp); `kelvasto-batch --help` lists the table. Adding a job
// is one file and one row.
//
// The helpers below are what every job shares: the settings of the window,
// the kernel's reading of path arguments (argument_paths.h), printing in the
// user's language with names quoted for the shell, and the exit statuses.

#include "cli/argument_paths.h"
#include "settings/app_settings.h"

#include <QCommandLineOption>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <span>

class ConsoleJobHost;
class QCommandLineParser;
struct ConsoleOptions;

namespace ExitStatus {
inline constexpr int Done = 0;
inline constexpr int Error = 1; // also: something was skipped or left behind
inline constexpr int Usage = 2;
inline constexpr int Busy = 3; // another move run or undo holds the working folder
inline constexpr int Interrupted = 130;
} // namespace ExitStatus

struct BatchInvocation {
    QStringList arguments;  // behind the job's name
    bool assumeYes = false; // --yes before the job's name
};

struct BatchJob {
    const char* name;
    const char* summaryKey; // OwnText key of the one line --help shows
    QString (*help)();      // the job's --help text, in the current language
    int (*run)(const BatchInvocation& invocation);
};

// The jobs, in the order --help lists them.
std::span<const BatchJob* const> BatchJobs();
const BatchJob* FindBatchJob(const QString& name);

// --- settings ----------------------------------------------------------------
// The window's settings, with the window's default working folder (the
// per-user data folder, created when first needed); a stored one is taken as
// it is.
AppSettings LoadBatchSettings();

// --- arguments -----------------------------------------------------------------
// Parses `invocation` with the job's options plus the shared --help and
// --yes. Returns an exit status when the job is done already (help shown,
// usage error reported); `assumeYes` then includes a --yes behind the name.
std::optional<int> ParseJobArguments(QCommandLineParser& parser, const BatchJob& job,
                                     const BatchInvocation& invocation, bool& assumeYes);

// The parser's error in the user's language (Qt's own texts are English).
QString ParseErrorText(const QCommandLineParser& parser);

// The PATH arguments of a job that works on files, or with `recursive` on
// folder trees: each resolved the way the kernel reads it (argument_paths.h).
struct PathArguments {
    QStringList paths; // files, or start folders ending with "/"; each file
                       // once, and no folder that another one's walk reaches
    int skipped = 0;   // arguments named on stderr and left out (links,
                       // devices, names that are not UTF-8)
};
// Returns an exit status when the job cannot go on: a missing or unreachable
// path (error), a file with `recursive` or a folder without it (usage).
std::optional<int> ResolvePathArguments(const QStringList& arguments, bool recursive,
                                        const BatchJob& job, PathArguments& resolved);

// --- running -------------------------------------------------------------------
// The console host's options: the progress bar only where stderr is a terminal.
ConsoleOptions ConsoleOptionsFor(bool assumeYes);
// Hands the PATH arguments to the host: start folders of tree walks with
// `recursive`, otherwise the files themselves.
void GiveTargets(ConsoleJobHost& host, const PathArguments& targets, bool recursive);
// Runs the job with the interrupt handler installed and ends the progress
// line after it, also when it throws, so that what comes next (an error too)
// starts on a line of its own.
void RunOnConsole(ConsoleJobHost& host, const std::function<void()>& job);
// The entries the arguments and the job left out, counted on stderr when
// there are any; returns the count.
int ReportSkippedCount(const PathArguments& targets, const ConsoleJobHost& host);
// The exit status at the end of a run: interrupted, or an error when there
// were `problems` (files skipped or not written).
int FinalStatus(int problems);

// --- the run of a job on PATH arguments ----------------------------------------
// Every job on files or folder trees runs the same way: its options, with
// -r/--recursive, --help and --yes, are parsed (--help ends there); it reads
// its own; no PATH is a usage error; the PATHs are resolved; the console host
// is made and given them; the engine runs with the interrupt handler
// installed; the job prints what it found and names its exit status. A job
// brings only its own parts:
//
//     PathJobParts parts;
//     parts.options = {size, nullSeparated};
//     parts.readOptions = [&](const QCommandLineParser& parser, QStringList&) {
//         return ReadNumberOption(parser, kThumbnailSide, kThumbsJob, options.side);
//     };
//     parts.engine = [&](ConsoleJobHost& host, const PathJobRun& run) {
//         options.recursive = run.recursive;
//         result = MakeThumbnails(host, options);
//     };
//     parts.finish = [&](ConsoleJobHost& host, const PathJobRun& run) { ... };
//     return RunPathJob(kThumbsJob, invocation, parts);

// What the shared part found.
struct PathJobRun {
    explicit PathJobRun(const QCommandLineParser& parsed) : parser(parsed) {}
    const QCommandLineParser& parser; // the job's options, parsed
    bool recursive = false;           // -r, --recursive
    bool assumeYes = false;           // --yes, before or behind the job's name
    PathArguments targets;
    // The start folders of the tree walks; none without --recursive.
    QStringList startFolders() const { return recursive ? targets.paths : QStringList(); }
    bool isSet(const QCommandLineOption& option) const;
};

struct PathJobParts {
    QList<QCommandLineOption> options; // the job's own
    // Reads the job's options; may take leading words (an effect's name) off
    // `words`, the rest are the PATHs. An exit status ends the job.
    std::function<std::optional<int>(const QCommandLineParser& parser, QStringList& words)>
        readOptions;
    // Checks on the resolved PATHs before the host is made; may be empty.
    std::function<std::optional<int>(const PathJobRun& run)> prepare;
    // A host of the job's own; empty: a ConsoleJobHost.
    std::function<std::unique_ptr<ConsoleJobHost>(const ConsoleOptions& options,
                                                  const PathJobRun& run)>
        makeHost;
    // The engine call.
    std::function<void(ConsoleJobHost& host, const PathJobRun& run)> engine;
    // What the job prints after its engine; returns the exit status.
    std::function<int(ConsoleJobHost& host, const PathJobRun& run)> finish;
};

int RunPathJob(const BatchJob& job, const BatchInvocation& invocation, const PathJobParts& parts);

// --- printing ------------------------------------------------------------------
// A path as a terminal line shows it (quoted for the shell when needed).
QString ShownPath(const QString& path);
// Record separators of stdout: "\n" normally, NUL with --null.
void PrintOut(const QString& text);
void PrintOutBytes(const QByteArray& bytes);
// One record of two paths: "from -> to" with each name quoted for the
// shell, or with --null both paths as they are, each ended by NUL.
void PrintPathPair(const QString& from, const QString& to, bool nullSeparated);
// One record of one path: a line with the name quoted for the shell, or with
// --null the path as it is, ended by NUL. An empty path is an empty record
// (it ends a group).
void PrintPathRecord(const QString& path, bool nullSeparated);
// A line of counts: on stdout, or on stderr when stdout holds NUL records.
void PrintCount(const QString& line, bool nullSeparated);
// -0, --null: every job that prints paths offers it.
QCommandLineOption NullSeparatedOption();
// "kelvasto-batch: text" on stderr.
void PrintError(const QString& text);
// Names an entry the job left out, with the reason, on stderr.
void PrintSkipped(const QString& path, const QString& reason);
// Reports a usage error with the job's help (or the general help when `job`
// is null); returns ExitStatus::Usage.
int UsageError(const QString& text, const BatchJob* job);

// The general --help: usage, the table's jobs, where the working folder and
// the move log are.
QString GeneralHelp();
