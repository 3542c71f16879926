#include "cli/duplicate_jobs.h"

#include "app/app_settings.h"
#include "cli/batch_job.h"
#include "cli/console_job_host.h"
#include "cli/standard_streams.h"
#include "duplicates/duplicate_results.h"
#include "duplicates/empty_folders.h"
#include "duplicates/find_duplicates.h"
#include "engine/path_utils.h"
#include "i18n/catalogue.h"
#include "i18n/own_texts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>
#include <utility>

#include <unistd.h>

namespace {

constexpr int kDoesNotExist = 9004;
constexpr int kFilesToCheck = 100;
constexpr int kPossibleDuplicates = 101;
constexpr int kFoundDuplicates = 102;

void printError(const QString& text) {
    WriteStandardError("kelvasto-batch: " + text.toLocal8Bit() + '\n');
}

int usage(const QString& text, const char* helpKey) {
    printError(text);
    WriteStandardError(OwnText(helpKey).toLocal8Bit());
    return ExitStatus::Usage;
}

// Paths go out as the file system's bytes: one per line, or each ended by
// NUL with --null (an empty record then ends a group).
void printPath(const QString& path, bool nulls) {
    WriteStandardOutput(QFile::encodeName(path) + (nulls ? '\0' : '\n'));
}

struct FolderCommandLine {
    bool act = false;   // --trash-marked / --trash
    bool nulls = false; // -0, --null
    QString folder;     // absolute, ends with "/"
};

// "[ACT] [-0|--null] FOLDER"; nullopt with `status` set after --help or a
// fault.
std::optional<FolderCommandLine> parse(const QStringList& args, QLatin1String actOption,
                                       const char* helpKey, int& status) {
    FolderCommandLine line;
    QStringList words;
    bool optionsEnded = false;
    for (const QString& arg : args) {
        if (optionsEnded || !arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
            words << arg;
        } else if (arg == QLatin1String("--")) {
            optionsEnded = true;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            WriteStandardOutput(OwnText(helpKey).toLocal8Bit());
            status = ExitStatus::Done;
            return std::nullopt;
        } else if (arg == actOption) {
            line.act = true;
        } else if (arg == QLatin1String("-0") || arg == QLatin1String("--null")) {
            line.nulls = true;
        } else {
            status = usage(OwnText("cli.dupes.unknown_option").arg(arg), helpKey);
            return std::nullopt;
        }
    }
    if (words.size() != 1) {
        status = usage(OwnText("cli.dupes.one_folder"), helpKey);
        return std::nullopt;
    }
    const QFileInfo info(words.first());
    if (!info.exists()) {
        printError(words.first() + CatalogueText(kDoesNotExist));
        status = ExitStatus::Error;
        return std::nullopt;
    }
    if (!info.isDir()) {
        status = usage(OwnText("cli.dupes.not_a_folder").arg(words.first()), helpKey);
        return std::nullopt;
    }
    line.folder = AddTrailingBackslash(QDir::cleanPath(info.absoluteFilePath()));
    return line;
}

AppSettings programSettings() {
    AppSettings settings = LoadBatchSettings();
    return settings;
}

void printCounters(const DuplicateSearchResult& result) {
    WriteStandardError(QStringLiteral("%1: %2\n%3: %4\n%5: %6\n")
                           .arg(CatalogueText(kFilesToCheck), QString::number(result.collected),
                                CatalogueText(kPossibleDuplicates),
                                QString::number(result.candidates), CatalogueText(kFoundDuplicates),
                                QString::number(result.found))
                           .toLocal8Bit());
}

// Trashes what "Duplikate markieren" selects: every file of a group but the
// first. Names every file it could not trash; returns how many.
int trashMarked(const QStringList& lines) {
    QStringList marked;
    for (const qsizetype row : DuplicateLinesToMark(lines))
        marked.append(lines.at(row));
    const QStringList failed = TrashFiles(marked);
    for (const QString& file : failed)
        printError(OwnText("cli.dupes.not_trashed").arg(file));
    return int(failed.size());
}

} // namespace

int RunDupesJob(const QStringList& arguments) {
    AppSettings settings = programSettings(); // the language of the help too
    int status = ExitStatus::Done;
    const std::optional<FolderCommandLine> line =
        parse(arguments, QLatin1String("--trash-marked"), "cli.dupes.help", status);
    if (!line)
        return status;
    ConsoleOptions console;
    console.showProgress = ::isatty(STDERR_FILENO) == 1;
    ConsoleJobHost host(std::move(settings), console);
    host.setStartFolders({line->folder});
    InstallInterruptHandler(host.stopFlags());
    QStringList lines;
    const DuplicateSearchResult result = SearchDuplicates(host, line->folder, lines);
    host.endProgressLine();
    for (const QString& path : lines)
        printPath(path, line->nulls);
    printCounters(result);
    for (const QString& path : result.skipped)
        printError(OwnText("cli.dupes.skipped").arg(path, OwnText("dupes.skip_unreadable")));
    // A stopped search trashes nothing: its list may end inside a group.
    const int notTrashed = line->act && !result.stopped ? trashMarked(lines) : 0;
    if (InterruptRequested() || result.stopped)
        return ExitStatus::Interrupted;
    return result.skipped.isEmpty() && notTrashed == 0 ? ExitStatus::Done : ExitStatus::Error;
}

int RunEmptyFoldersJob(const QStringList& arguments) {
    AppSettings settings = programSettings(); // the language of the help too
    int status = ExitStatus::Done;
    const std::optional<FolderCommandLine> line =
        parse(arguments, QLatin1String("--trash"), "cli.empty_folders.help", status);
    if (!line)
        return status;
    ConsoleJobHost host(std::move(settings), ConsoleOptions{});
    QStringList folders;
    CollectEmptyFolders(host, line->folder, folders);
    // Deepest first, the order they are removed in.
    for (qsizetype i = folders.size() - 1; i >= 0; --i)
        printPath(folders.at(i), line->nulls);
    if (!line->act)
        return ExitStatus::Done;
    const QStringList notTrashed = TrashEmptyFolders(folders);
    for (const QString& folder : notTrashed)
        printError(OwnText("cli.empty_folders.not_trashed").arg(folder));
    return notTrashed.isEmpty() ? ExitStatus::Done : ExitStatus::Error;
}

// The two rows of the job table.
extern const BatchJob kDupesJob = {
    "dupes", "cli.dupes.summary", [] { return OwnText("cli.dupes.help"); },
    [](const BatchInvocation& invocation) { return RunDupesJob(invocation.arguments); }};
extern const BatchJob kEmptyFoldersJob = {
    "empty-folders", "cli.empty_folders.summary", [] { return OwnText("cli.empty_folders.help"); },
    [](const BatchInvocation& invocation) { return RunEmptyFoldersJob(invocation.arguments); }};
