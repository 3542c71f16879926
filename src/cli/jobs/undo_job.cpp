// kelvasto-batch undo: moves the files of the last move run back, as the
// window's undo command does, or those of earlier runs from their kept files
// (--run ID, --all), and lists the kept runs (--list). Names every file it
// leaves behind.

#include "cli/batch_job.h"
#include "cli/console_job_host.h"
#include "cli/standard_streams.h"
#include "i18n/own_texts.h"
#include "jobs/defect_scan/kept_run_undo.h"
#include "jobs/defect_scan/move_history.h"
#include "jobs/defect_scan/move_log.h"

#include <QCommandLineParser>

extern const BatchJob kUndoJob;

namespace {

QString help() {
    const QString logPath = ProtocolFilePath(LoadSettings());
    return OwnText("cli.undo.help").arg(ShownPath(logPath), ShownPath(KeptRunsFolder(logPath)));
}

QString leftReason(UndoOutcome outcome, const QString& former) {
    switch (outcome) {
    case UndoOutcome::FormerPathTaken:
        return OwnText("cli.undo.former_taken").arg(ShownPath(former));
    case UndoOutcome::FolderMissing:
        return OwnText("cli.undo.folder_missing").arg(ShownPath(former));
    default:
        return OwnText("cli.undo.failed").arg(ShownPath(former));
    }
}

int listKeptRuns(const AppSettings& settings) {
    const QList<KeptRunSummary> runs = ListKeptRuns(settings);
    if (runs.isEmpty()) {
        WriteStandardError(OwnText("cli.undo.list.none")
                               .arg(ShownPath(KeptRunsFolder(ProtocolFilePath(settings))))
                               .toUtf8() +
                           '\n');
        return ExitStatus::Done;
    }
    for (const KeptRunSummary& run : runs) {
        QStringList folders;
        for (const QString& folder : run.startFolders)
            folders.append(ShownPath(folder));
        PrintOut(OwnText("cli.undo.list.line")
                     .arg(run.id, run.started.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                     .arg(run.moved)
                     .arg(run.stillMoved)
                     .arg(folders.join(QLatin1Char(' '))) +
                 QLatin1Char('\n'));
    }
    return ExitStatus::Done;
}

// Files of kept runs still moved, apart from the `own` ones just named.
int earlierFilesStillMoved(const AppSettings& settings, int own) {
    int still = 0;
    for (const KeptRunSummary& run : ListKeptRuns(settings))
        still += run.stillMoved;
    return still - own;
}

struct UndoChoice {
    bool list = false;
    bool all = false;
    QString run;
};

// Returns an exit status when the arguments end the job.
std::optional<int> parse(const BatchInvocation& invocation, UndoChoice& choice, bool& nulls) {
    QCommandLineParser parser;
    const QCommandLineOption nullSeparated = NullSeparatedOption();
    const QCommandLineOption list(QStringLiteral("list"));
    const QCommandLineOption run(QStringLiteral("run"), QString(), QStringLiteral("ID"));
    const QCommandLineOption all(QStringLiteral("all"));
    parser.addOptions({nullSeparated, list, run, all});
    bool assumeYes = false;
    if (const std::optional<int> done = ParseJobArguments(parser, kUndoJob, invocation, assumeYes))
        return done;
    if (!parser.positionalArguments().isEmpty())
        return UsageError(
            OwnText("cli.undo.no_arguments").arg(ShownPath(parser.positionalArguments().first())),
            &kUndoJob);
    choice.list = parser.isSet(list);
    choice.all = parser.isSet(all);
    choice.run = parser.value(run);
    nulls = parser.isSet(nullSeparated);
    if (parser.isSet(run) && choice.run.isEmpty())
        return UsageError(OwnText("cli.needs_value").arg(QStringLiteral("--run")), &kUndoJob);
    if (int(choice.list) + int(choice.all) + int(parser.isSet(run)) > 1)
        return UsageError(OwnText("cli.undo.options_clash"), &kUndoJob);
    if (choice.list && nulls)
        return UsageError(OwnText("cli.undo.list_null"), &kUndoJob);
    return std::nullopt;
}

int run(const BatchInvocation& invocation) {
    UndoChoice choice;
    bool nulls = false;
    if (const std::optional<int> done = parse(invocation, choice, nulls))
        return *done;

    ConsoleJobHost host(LoadBatchSettings(), ConsoleOptionsFor(invocation.assumeYes));
    if (choice.list)
        return listKeptRuns(host.settings());
    const QString logPath = ProtocolFilePath(host.settings());
    InstallInterruptHandler(host.stopFlags());

    int leftBehind = 0;
    UndoListener listener;
    // Between two files only: a file is either back or still in the
    // defect folder, and the log (never written by the undo) still lists it.
    listener.stopRequested = [&host] {
        host.processPendingMessages();
        return host.stopFlags().BatchJobStop.load() == 1;
    };
    listener.pairDone = [&](const QString& moved, const QString& former, UndoOutcome outcome) {
        if (outcome == UndoOutcome::Restored) {
            PrintPathPair(moved, former, nulls);
        } else if (outcome != UndoOutcome::NotInDefectFolder) {
            ++leftBehind;
            PrintError(OwnText("cli.undo.left").arg(ShownPath(moved), leftReason(outcome, former)));
        }
    };
    const bool lastRun = !choice.all && choice.run.isEmpty();
    KeptRunUndo undo;
    if (lastRun)
        undo.result = UndoLastMoveRun(host, listener);
    else
        undo = UndoKeptRuns(host, choice.run, listener);
    const UndoResult& result = undo.result;
    if (result.busy)
        return ExitStatus::Busy;
    if (undo.noSuchRun) {
        PrintError(OwnText("cli.undo.no_run").arg(choice.run));
        return ExitStatus::Error;
    }
    if (!result.logRead) {
        PrintError(OwnText("cli.undo.no_log").arg(ShownPath(logPath)));
        return ExitStatus::Error;
    }
    const QString summary =
        OwnText("cli.undo.summary").arg(result.restored).arg(result.waiting) + QLatin1Char('\n');
    if (nulls)
        WriteStandardError(summary.toUtf8());
    else
        PrintOut(summary);
    if (leftBehind > 0)
        PrintError(OwnText("cli.undo.left_count").arg(leftBehind));
    if (result.stopped) {
        PrintError(OwnText("cli.undo.interrupted"));
        return ExitStatus::Interrupted;
    }
    if (lastRun) {
        const int earlier = earlierFilesStillMoved(host.settings(), leftBehind);
        if (earlier > 0)
            PrintError(OwnText("cli.undo.still_moved").arg(earlier));
    }
    return leftBehind > 0 ? ExitStatus::Error : ExitStatus::Done;
}

} // namespace

extern const BatchJob kUndoJob = {"undo", "cli.undo.summary_line", help, run};
