// kelvasto-batch dupes: the window's duplicate search over one folder tree,
// its result list on stdout, its counters on stderr, and with --trash-marked
// the files the result page would mark sent to the trash.

#include "cli/batch_job.h"
#include "cli/console_job_host.h"
#include "cli/standard_streams.h"
#include "duplicates/duplicate_results.h"
#include "duplicates/find_duplicates.h"
#include "i18n/catalogue.h"
#include "i18n/own_texts.h"

#include <QCommandLineParser>

#include <unistd.h>

extern const BatchJob kDupesJob;

namespace {

constexpr int kFilesToCheck = 100;
constexpr int kPossibleDuplicates = 101;
constexpr int kFoundDuplicates = 102;

QString help() {
    return OwnText("cli.dupes.help");
}

// The result page's lines: one path per line, an empty line after each
// group; with --null every path and every group's end is one NUL-ended
// record.
void printLines(const QStringList& lines, bool nullSeparated) {
    for (const QString& line : lines) {
        if (nullSeparated)
            PrintOutBytes(ArgumentBytes(line) + '\0');
        else
            PrintOut((line.isEmpty() ? QString() : ShownPath(line)) + QLatin1Char('\n'));
    }
}

void printCounters(const DuplicateSearchResult& result) {
    WriteStandardError(QStringLiteral("%1: %2\n%3: %4\n%5: %6\n")
                           .arg(CatalogueText(kFilesToCheck), QString::number(result.collected),
                                CatalogueText(kPossibleDuplicates),
                                QString::number(result.candidates), CatalogueText(kFoundDuplicates),
                                QString::number(result.found))
                           .toUtf8());
}

// Trashes what "Duplikate markieren" would select; names every file it
// could not trash. Returns how many failed.
int trashMarked(const QStringList& lines) {
    QStringList marked;
    for (const qsizetype row : DuplicateLinesToMark(lines))
        marked.append(lines.at(row));
    const QStringList failed = TrashFiles(marked);
    for (const QString& file : failed)
        PrintError(OwnText("cli.dupes.not_trashed").arg(ShownPath(file)));
    return int(failed.size());
}

int run(const BatchInvocation& invocation) {
    QCommandLineParser parser;
    const QCommandLineOption trash(QStringLiteral("trash-marked"));
    const QCommandLineOption nullSeparated(
        QStringList{QStringLiteral("0"), QStringLiteral("null")});
    parser.addOptions({trash, nullSeparated});
    bool assumeYes = false;
    if (const std::optional<int> done = ParseJobArguments(parser, kDupesJob, invocation, assumeYes))
        return *done;
    if (parser.positionalArguments().size() != 1)
        return UsageError(OwnText("cli.one_folder"), &kDupesJob);
    PathArguments start;
    if (const std::optional<int> fault =
            ResolvePathArguments(parser.positionalArguments(), true, kDupesJob, start))
        return *fault;
    if (start.paths.isEmpty())
        return ExitStatus::Error;

    ConsoleOptions console;
    console.assumeYes = assumeYes;
    console.showProgress = ::isatty(STDERR_FILENO) == 1;
    const bool nulls = parser.isSet(nullSeparated);
    ConsoleJobHost host(LoadBatchSettings(), console);
    host.setStartFolders(start.paths);
    InstallInterruptHandler(host.stopFlags());
    QStringList lines;
    const DuplicateSearchResult result = SearchDuplicates(host, start.paths.first(), lines);
    host.endProgressLine();
    printLines(lines, nulls);
    printCounters(result);
    // A stopped search trashes nothing: its list may end inside a group.
    const int notTrashed = parser.isSet(trash) && !result.stopped ? trashMarked(lines) : 0;
    const int skipped = start.skipped + host.skipped();
    if (skipped > 0)
        PrintError(OwnText("cli.skipped_count").arg(skipped));
    if (InterruptRequested() || result.stopped)
        return ExitStatus::Interrupted;
    return skipped + notTrashed > 0 ? ExitStatus::Error : ExitStatus::Done;
}

} // namespace

extern const BatchJob kDupesJob = {"dupes", "cli.dupes.summary", help, run};
