#include "cli/batch_commands.h"

#include "app/app_settings.h"
#include "cli/console_job_host.h"
#include "cli/duplicate_jobs.h"
#include "cli/effect_job.h"
#include "cli/index_cli.h"
#include "cli/standard_streams.h"
#include "engine/defect_scan.h"
#include "engine/move_log.h"
#include "engine/path_utils.h"
#include "i18n/catalogue.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <optional>

#include <unistd.h>

namespace {

const char* const kGeneralHelp =
    "Usage: kelvasto-batch [--yes] JOB [OPTIONS] [PATH...]\n"
    "\n"
    "Runs Kelvasto's batch jobs without the window, with the same settings,\n"
    "working folder and move log as the program.\n"
    "\n"
    "Jobs:\n"
    "  defects   find JPEG files whose data is cut off (or, with --thorough,\n"
    "            damaged) and copy or move them\n"
    "  undo      move the files of the last move run back\n"
    "  effect    anti-alias, optimise or black-and-white JPEG files, or convert\n"
    "            bitmap files to JPEG\n"
    "  index     make index pictures (contact sheets) of JPEG files\n"
    "  thumbs    make thumbnails of JPEG files\n"
    "  dupes     find JPEG files with identical content (and trash the copies)\n"
    "  empty-folders  find folders that hold no bytes (and trash them)\n"
    "\n"
    "  --yes     answer questions a job asks with yes/OK (default: no/abort)\n"
    "  --help    this text; JOB --help describes a job\n"
    "\n"
    "Exit status: 0 done, 1 error, 2 usage error, 130 interrupted (Ctrl-C).\n";

const char* const kDefectsHelp =
    "Usage: kelvasto-batch defects [--recursive] [--move] [--dest DIR] [--thorough] [--why]\n"
    "                              PATH...\n"
    "\n"
    "Tests JPEG files for a missing end-of-image marker in their last quarter\n"
    "and copies (or moves) every defective one into DIR/Defekt/ as\n"
    "Defekt<number>_<name>. Without --dest the working folder is used.\n"
    "\n"
    "  --recursive  PATHs are folders: test every .jpg and .jpeg file of their\n"
    "               trees (hidden folders and symbolic links are skipped)\n"
    "               without it PATHs are the files to test\n"
    "  --move       move instead of copy; `kelvasto-batch undo` moves them back\n"
    "  --dest DIR   destination folder of Defekt/\n"
    "  --thorough   also decode each file's picture data (on every core) and\n"
    "               count libjpeg's errors and corrupt-data warnings as defects:\n"
    "               finds damage in the middle of a file, not only a cut-off end\n"
    "  --why        print \"path: reason\" before each defective file's line\n"
    "\n"
    "Prints one line \"old path -> new path\" per defective file on stdout and\n"
    "the counters at the end. Ctrl-C stops after the current file; the move\n"
    "log then holds the files moved so far.\n"
    "\n"
    "Exits with 1 when a defective file could not be copied or moved; one whose\n"
    "new name is already taken (by an earlier run) is left in place without error.\n";

const char* const kUndoHelp =
    "Usage: kelvasto-batch undo\n"
    "\n"
    "Moves every file of the move log (the working folder's protocol file)\n"
    "back to its former path. A file now standing at a former path is never\n"
    "replaced; that moved file stays where it is.\n";

void printOut(const QString& text) {
    WriteStandardOutput(text.toLocal8Bit());
}

void printError(const QString& text) {
    WriteStandardError("kelvasto-batch: " + text.toLocal8Bit() + '\n');
}

int usageError(const QString& text, const char* help) {
    printError(text);
    WriteStandardError(help);
    return ExitStatus::Usage;
}

AppSettings loadProgramSettings() {
    // The same settings and default working folder as the window program.
    AppSettings settings = LoadSettings();
    SetLanguageOffset(settings.Sprache);
    SetLanguageIndex(LanguageIndexForOffset(settings.Sprache));
    return settings;
}

QString absolutePath(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

struct DefectsCommandLine {
    DefectScanOptions options;
    QStringList paths;
    bool why = false;
};

// Parses the options of `defects`; nullopt after a usage error or --help,
// with `status` set.
std::optional<DefectsCommandLine> parseDefects(const QStringList& args, int& status) {
    DefectsCommandLine line;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (optionsEnded || !arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
            line.paths.append(arg);
        } else if (arg == QLatin1String("--")) {
            optionsEnded = true;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            WriteStandardOutput(kDefectsHelp);
            status = ExitStatus::Done;
            return std::nullopt;
        } else if (arg == QLatin1String("--recursive") || arg == QLatin1String("-r")) {
            line.options.recursive = true;
        } else if (arg == QLatin1String("--move")) {
            line.options.move = true;
        } else if (arg == QLatin1String("--thorough")) {
            line.options.thorough = true;
        } else if (arg == QLatin1String("--why")) {
            line.why = true;
        } else if (arg == QLatin1String("--dest") || arg.startsWith(QLatin1String("--dest="))) {
            QString dir = arg.mid(7);
            if (arg == QLatin1String("--dest")) {
                if (i + 1 >= args.size()) {
                    status = usageError(QStringLiteral("--dest needs a folder"), kDefectsHelp);
                    return std::nullopt;
                }
                dir = args.at(++i);
            }
            if (dir.isEmpty()) {
                status = usageError(QStringLiteral("--dest needs a folder"), kDefectsHelp);
                return std::nullopt;
            }
            line.options.destination = AddTrailingBackslash(absolutePath(dir));
        } else {
            status = usageError(QStringLiteral("unknown option %1").arg(arg), kDefectsHelp);
            return std::nullopt;
        }
    }
    if (line.paths.isEmpty()) {
        status = usageError(QStringLiteral("no file or folder given"), kDefectsHelp);
        return std::nullopt;
    }
    return line;
}

// Checks every PATH against --recursive; returns an exit status on a fault.
std::optional<int> checkPaths(DefectsCommandLine& line) {
    QStringList checked;
    for (const QString& path : std::as_const(line.paths)) {
        const QFileInfo info(path);
        if (!info.exists()) {
            printError(QStringLiteral("no such file or folder: %1").arg(path));
            return ExitStatus::Error;
        }
        if (line.options.recursive && !info.isDir())
            return usageError(QStringLiteral("--recursive needs folders, not files: %1").arg(path),
                              kDefectsHelp);
        if (!line.options.recursive && info.isDir())
            return usageError(
                QStringLiteral("%1 is a folder; add --recursive to test folder trees").arg(path),
                kDefectsHelp);
        checked.append(line.options.recursive ? AddTrailingBackslash(absolutePath(path))
                                              : absolutePath(path));
    }
    line.paths = checked;
    return std::nullopt;
}

void printCounters(ConsoleJobHost& host, const DefectScanResult& result) {
    printOut(QStringLiteral("%1: %2\n%3: %4\n%5: %6\n")
                 .arg(CatalogueText(85), QString::number(result.collected), CatalogueText(86),
                      QString::number(result.tested), CatalogueText(83),
                      QString::number(result.defective)));
    if (result.unreadable > 0)
        printError(QStringLiteral("%1 file(s) could not be read and count as not defective")
                       .arg(result.unreadable));
    if (result.unsafeNames > 0)
        printError(QStringLiteral("%1 defective file(s) not moved: a line break in the name")
                       .arg(result.unsafeNames));
    if (result.unlogged > 0)
        printError(QStringLiteral("%1 defective file(s) not moved: the move log %2 could not "
                                  "record them")
                       .arg(result.unlogged)
                       .arg(ProtocolFilePath(host.settings())));
    if (host.failedTransfers() > 0)
        printError(QStringLiteral("%1 defective file(s) could not be copied or moved")
                       .arg(host.failedTransfers()));
}

int runDefects(const QStringList& args, bool assumeYes) {
    int status = ExitStatus::Done;
    std::optional<DefectsCommandLine> line = parseDefects(args, status);
    if (!line)
        return status;
    if (const std::optional<int> fault = checkPaths(*line))
        return *fault;

    ConsoleJobHost host(loadProgramSettings(), assumeYes, ::isatty(STDERR_FILENO) == 1);
    host.setPrintReasons(line->why);
    // Moves without a log could not be undone: refuse before moving anything.
    const QFileInfo logFolder(QFileInfo(ProtocolFilePath(host.settings())).absolutePath());
    if (line->options.move && !(logFolder.isDir() && logFolder.isWritable())) {
        printError(QStringLiteral("the working folder %1 cannot hold the move log; nothing moved")
                       .arg(logFolder.filePath()));
        return ExitStatus::Error;
    }
    if (line->options.recursive) {
        line->options.startFolders = line->paths;
        host.setStartFolders(line->paths);
    } else {
        host.setFiles(line->paths);
    }
    InstallInterruptHandler(host.stopFlags());
    const DefectScanResult result = ScanDefectiveJpegs(host, line->options, &host);
    host.endProgressLine();
    if (result.nothingToTest)
        return ExitStatus::Done;
    printCounters(host, result);
    if (!result.logWritten) {
        printError(QStringLiteral("could not write the move log %1")
                       .arg(ProtocolFilePath(host.settings())));
        if (line->options.move)
            return ExitStatus::Error;
    }
    if (InterruptRequested())
        return ExitStatus::Interrupted;
    return host.failedTransfers() > 0 ? ExitStatus::Error : ExitStatus::Done;
}

int runUndo(const QStringList& args, bool assumeYes) {
    for (const QString& arg : args) {
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            WriteStandardOutput(kUndoHelp);
            return ExitStatus::Done;
        }
        return usageError(QStringLiteral("undo takes no argument: %1").arg(arg), kUndoHelp);
    }
    ConsoleJobHost host(loadProgramSettings(), assumeYes, false);
    const QString logPath = ProtocolFilePath(host.settings());
    const UndoResult result = UndoLastMoveRun(host);
    if (!result.logRead) {
        printError(QStringLiteral("no move log to undo: %1").arg(logPath));
        return ExitStatus::Error;
    }
    const int moved = int(ReadMoveLog(logPath).lines.size() / 2);
    printOut(QStringLiteral("%1 of %2 file(s) moved back\n").arg(result.restored).arg(moved));
    return ExitStatus::Done;
}

// --yes may stand anywhere before "--"; behind it, it names a file.
bool takeYesOption(QStringList& args) {
    bool found = false;
    for (qsizetype i = 0; i < args.size() && args.at(i) != QLatin1String("--");) {
        if (args.at(i) == QLatin1String("--yes")) {
            args.removeAt(i);
            found = true;
        } else {
            ++i;
        }
    }
    return found;
}

int runJob(const QStringList& arguments) {
    QStringList args = arguments;
    const bool assumeYes = takeYesOption(args);
    if (args.isEmpty())
        return usageError(QStringLiteral("no job given"), kGeneralHelp);
    const QString job = args.takeFirst();
    if (job == QLatin1String("--help") || job == QLatin1String("-h") ||
        job == QLatin1String("help")) {
        WriteStandardOutput(kGeneralHelp);
        return ExitStatus::Done;
    }
    try {
        if (job == QLatin1String("defects"))
            return runDefects(args, assumeYes);
        if (job == QLatin1String("undo"))
            return runUndo(args, assumeYes);
        if (job == QLatin1String("effect"))
            return RunEffectJob(args, assumeYes);
        if (job == QLatin1String("index"))
            return RunIndexJob(args, assumeYes);
        if (job == QLatin1String("thumbs"))
            return RunThumbsJob(args, assumeYes);
        if (job == QLatin1String("dupes"))
            return RunDupesJob(args);
        if (job == QLatin1String("empty-folders"))
            return RunEmptyFoldersJob(args);
    } catch (const std::exception& error) {
        printError(QString::fromLocal8Bit(error.what()));
        return ExitStatus::Error;
    }
    return usageError(QStringLiteral("unknown job %1").arg(job), kGeneralHelp);
}

} // namespace

int RunBatchCommand(const QStringList& arguments) {
    const int status = runJob(arguments);
    // The job itself is done either way; the status tells a script that its
    // report (the list of moved files, the counters) did not arrive.
    if (StandardOutputFailed() && status != ExitStatus::Usage) {
        printError(QStringLiteral("could not write to standard output"));
        return ExitStatus::Error;
    }
    return status;
}
