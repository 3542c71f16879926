// kelvasto-batch undo: moves the files of the last move run back, as the
// window's undo command does, and names every file it leaves behind.

#include "cli/batch_job.h"
#include "cli/console_job_host.h"
#include "cli/standard_streams.h"
#include "i18n/own_texts.h"
#include "jobs/defect_scan/move_log.h"

#include <QCommandLineParser>

extern const BatchJob kUndoJob;

namespace {

QString help() {
    return OwnText("cli.undo.help").arg(ShownPath(ProtocolFilePath(LoadSettings())));
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

int run(const BatchInvocation& invocation) {
    QCommandLineParser parser;
    const QCommandLineOption nullSeparated(
        QStringList{QStringLiteral("0"), QStringLiteral("null")});
    parser.addOption(nullSeparated);
    bool assumeYes = false;
    if (const std::optional<int> done = ParseJobArguments(parser, kUndoJob, invocation, assumeYes))
        return *done;
    if (!parser.positionalArguments().isEmpty())
        return UsageError(
            OwnText("cli.undo.no_arguments").arg(ShownPath(parser.positionalArguments().first())),
            &kUndoJob);

    ConsoleOptions console;
    console.assumeYes = assumeYes;
    const bool nulls = parser.isSet(nullSeparated);
    ConsoleJobHost host(LoadBatchSettings(), console);
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
    const UndoResult result = UndoLastMoveRun(host, listener);
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
    return leftBehind > 0 ? ExitStatus::Error : ExitStatus::Done;
}

} // namespace

extern const BatchJob kUndoJob = {"undo", "cli.undo.summary_line", help, run};
