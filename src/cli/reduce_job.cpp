#include "cli/reduce_job.h"

#include "app/app_settings.h"
#include "cli/batch_job.h"
#include "cli/console_job_host.h"
#include "cli/standard_streams.h"
#include "engine/file_ops.h"
#include "engine/path_utils.h"
#include "engine/reduce_jpegs.h"
#include "i18n/catalogue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <optional>

#include <unistd.h>

const char* const kReduceHelp =
    "Usage: kelvasto-batch reduce [--recursive] [--app] [--comments] [--trailing]\n"
    "                             [--copies DIR] [--yes] PATH...\n"
    "\n"
    "Makes JPEG files smaller without re-encoding them, as \"Reduce JPEGs\" in the\n"
    "window does; the picture stays exactly as it was.\n"
    "\n"
    "  --app         remove the entries of graphics programs (APP1, APP2, APP12,\n"
    "                APP13, APP14: EXIF, ICC profiles, XMP, Photoshop data) from\n"
    "                the first twentieth of each file\n"
    "  --comments    remove one comment\n"
    "  --trailing    remove data appended behind the end of the picture\n"
    "  --copies DIR  copy each file into DIR first (an existing copy is kept) and\n"
    "                reduce the copy; the originals stay as they are\n"
    "  --recursive   PATHs are folders: every .jpg and .jpeg file of their trees\n"
    "                (hidden folders and symbolic links are skipped); without it\n"
    "                PATHs are the files\n"
    "  --yes         answer the warning with OK\n"
    "\n"
    "The warning that some programs may not show reduced files is printed and\n"
    "must be confirmed on a terminal; without a terminal --yes is required.\n"
    "Each file is replaced whole, through a temporary file beside it.\n"
    "Prints \"path: N bytes saved\" per file made smaller and the total at the\n"
    "end. Ctrl-C stops after the current file.\n"
    "Exits with 1 when a file could not be read or written (the run ends there;\n"
    "the files before it stay reduced) or a file was left out.\n";

namespace {

constexpr int kNothingChosen = 9107;

struct ReduceCommandLine {
    ReduceJpegsOptions options;
    QStringList paths;
};

int usage(const QString& text) {
    WriteStandardError("kelvasto-batch: " + text.toLocal8Bit() + '\n');
    WriteStandardError(kReduceHelp);
    return ExitStatus::Usage;
}

void printError(const QString& text) {
    WriteStandardError("kelvasto-batch: " + text.toLocal8Bit() + '\n');
}

QString shown(const QString& path) {
    return QString::fromLocal8Bit(QFile::encodeName(path));
}

// Takes the option's value from "--copies=DIR" or the next argument.
std::optional<QString> optionValue(const QStringList& args, qsizetype& i) {
    const QString& arg = args.at(i);
    if (arg.contains(QLatin1Char('=')))
        return arg.section(QLatin1Char('='), 1);
    if (i + 1 >= args.size())
        return std::nullopt;
    return args.at(++i);
}

std::optional<ReduceCommandLine> parse(const QStringList& args, int& status) {
    ReduceCommandLine line;
    ReductionOptions& remove = line.options.remove;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (optionsEnded || !arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
            line.paths << arg;
        } else if (arg == QLatin1String("--")) {
            optionsEnded = true;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            WriteStandardOutput(kReduceHelp);
            status = ExitStatus::Done;
            return std::nullopt;
        } else if (arg == QLatin1String("--recursive") || arg == QLatin1String("-r")) {
            line.options.recursive = true;
        } else if (arg == QLatin1String("--app")) {
            remove.programSegments = true;
        } else if (arg == QLatin1String("--comments")) {
            remove.comment = true;
        } else if (arg == QLatin1String("--trailing")) {
            remove.trailingData = true;
        } else if (arg == QLatin1String("--copies") || arg.startsWith(QLatin1String("--copies="))) {
            const std::optional<QString> folder = optionValue(args, i);
            if (!folder || folder->isEmpty()) {
                status = usage(QStringLiteral("--copies needs a folder"));
                return std::nullopt;
            }
            line.options.copies = true;
            line.options.destination = *folder;
        } else {
            status = usage(QStringLiteral("unknown option %1").arg(arg));
            return std::nullopt;
        }
    }
    if (!remove.any()) {
        status = usage(CatalogueText(kNothingChosen));
        return std::nullopt;
    }
    if (line.paths.isEmpty()) {
        status = usage(QStringLiteral("no file or folder given"));
        return std::nullopt;
    }
    return line;
}

// Checks every PATH against --recursive; returns an exit status on a fault.
std::optional<int> checkPaths(ReduceCommandLine& line) {
    QStringList checked;
    for (const QString& path : std::as_const(line.paths)) {
        const QFileInfo info(path);
        if (!info.exists()) {
            printError(QStringLiteral("no such file or folder: %1").arg(path));
            return ExitStatus::Error;
        }
        if (line.options.recursive != info.isDir())
            return usage(line.options.recursive
                             ? QStringLiteral("--recursive needs folders, not files: %1").arg(path)
                             : QStringLiteral("%1 is a folder; add --recursive").arg(path));
        const QString absolute = QDir::cleanPath(info.absoluteFilePath());
        checked << (line.options.recursive ? AddTrailingBackslash(absolute) : absolute);
    }
    line.paths = checked;
    return std::nullopt;
}

ConsoleOptions consoleOptions(bool assumeYes) {
    ConsoleOptions options;
    options.assumeYes = assumeYes;
    options.showProgress = ::isatty(STDERR_FILENO) == 1;
    return options;
}

// Asks the warning on the terminal (unless --yes), and prints one line for
// every file it made smaller.
class ConsoleReductionHost : public ConsoleJobHost, public ReductionReporter {
public:
    ConsoleReductionHost(AppSettings settings, bool assumeYes)
        : ConsoleJobHost(std::move(settings), consoleOptions(assumeYes)), m_ask(!assumeYes) {}

    int showMessage(const QString& text, MessageKind kind, DialogButtons buttons) override {
        if (kind != MessageKind::Warning || !m_ask)
            return ConsoleJobHost::showMessage(text, kind, buttons);
        endProgressLine();
        WriteStandardError(text.toLocal8Bit() + "\n\nReduce the files? [y/N] ");
        char answer[64] = {};
        if (!std::fgets(answer, sizeof answer, stdin))
            return DialogResult::Abort;
        const QString word = QString::fromLocal8Bit(answer).trimmed().toLower();
        return word == QLatin1String("y") || word == QLatin1String("yes") ? DialogResult::OK
                                                                          : DialogResult::Abort;
    }

    void noteReducedFile(const QString& path, std::int64_t saved) override {
        endProgressLine();
        WriteStandardOutput(
            QStringLiteral("%1: %2 bytes saved\n").arg(shown(path)).arg(saved).toLocal8Bit());
    }

    void noteOriginalKept(const QString& path) override {
        endProgressLine();
        printError(QStringLiteral("not reduced: the copy would be the original itself: %1")
                       .arg(shown(path)));
    }

private:
    bool m_ask;
};

} // namespace

int RunReduceJob(const QStringList& arguments, bool assumeYes) {
    // The catalogue's texts (the warning, the message without a removal
    // chosen) come in the program's language.
    AppSettings settings = LoadBatchSettings();
    int status = ExitStatus::Done;
    std::optional<ReduceCommandLine> line = parse(arguments, status);
    if (!line)
        return status;
    if (const std::optional<int> fault = checkPaths(*line))
        return *fault;
    // A script must never hang on the question: without a terminal to ask
    // on, the answer has to come with --yes.
    if (!assumeYes && ::isatty(STDIN_FILENO) != 1)
        return usage(QStringLiteral("no terminal to ask on: --yes confirms the warning"));
    ReduceJpegsOptions& options = line->options;
    if (options.copies) {
        const QString folder = QDir::cleanPath(QFileInfo(options.destination).absoluteFilePath());
        if (!MakeFolderPath(folder)) {
            printError(QStringLiteral("cannot create the folder for the copies: %1").arg(folder));
            return ExitStatus::Error;
        }
        options.destination = AddTrailingBackslash(folder);
    }

    ConsoleReductionHost host(settings, assumeYes);
    if (options.recursive) {
        options.startFolders = line->paths;
        host.setStartFolders(line->paths);
    } else {
        host.setFiles(line->paths);
    }
    InstallInterruptHandler(host.stopFlags());
    ReduceJpegsResult result;
    try {
        result = ReduceJpegs(host, options, &host);
    } catch (...) {
        host.endProgressLine();
        throw;
    }
    host.endProgressLine();
    if (result.declined)
        return ExitStatus::Done;
    WriteStandardOutput(QStringLiteral("%1 of %2 file(s) reduced, %3 bytes saved\n")
                            .arg(result.changed)
                            .arg(result.reduced)
                            .arg(result.savingsTotal)
                            .toLocal8Bit());
    if (!result.failedFile.isEmpty()) {
        printError(QStringLiteral("reduction ended at %1: %2")
                       .arg(shown(result.failedFile), result.error));
        return ExitStatus::Error;
    }
    if (InterruptRequested())
        return ExitStatus::Interrupted;
    return result.originalsKept > 0 ? ExitStatus::Error : ExitStatus::Done;
}

// The row of the job table.
extern const BatchJob kReduceJob = {
    "reduce", "cli.reduce.summary", [] { return QString::fromUtf8(kReduceHelp); },
    [](const BatchInvocation& invocation) {
        return RunReduceJob(invocation.arguments, invocation.assumeYes);
    }};
