// kelvasto-batch dupes: the duplicate search of the window on one folder
// tree named on the command line.

#include "cli/batch_job.h"
#include "cli/console_job_host.h"
#include "cli/jobs/folder_tree_argument.h"
#include "cli/standard_streams.h"
#include "i18n/catalogue.h"
#include "i18n/own_texts.h"
#include "jobs/duplicates/duplicate_results.h"
#include "jobs/duplicates/find_duplicates.h"

#include <QCommandLineParser>

extern const BatchJob kDupesJob;

namespace {

QString help() {
    return OwnText("cli.dupes.help");
}

void printCounters(const DuplicateSearchResult& result) {
    WriteStandardError(
        QStringLiteral("%1: %2\n%3: %4\n%5: %6\n")
            .arg(CatalogueText(CatalogueId::DuplicateFilesToTest),
                 QString::number(result.collected), CatalogueText(CatalogueId::PossibleDuplicates),
                 QString::number(result.candidates), CatalogueText(CatalogueId::FoundDuplicates),
                 QString::number(result.found))
            .toUtf8());
}

// Trashes what "Duplikate markieren" selects: every file of a group but the
// first. Names each file trashed; the host names each one it could not.
void trashMarked(ConsoleJobHost& host, const QStringList& lines) {
    QStringList marked;
    for (const qsizetype row : DuplicateLinesToMark(lines))
        marked.append(lines.at(row));
    for (const QString& file : TrashFiles(host, marked))
        PrintError(OwnText("cli.trashed").arg(ShownPath(file)));
}

int run(const BatchInvocation& invocation) {
    QCommandLineParser parser;
    const QCommandLineOption trashMarkedOption(QStringLiteral("trash-marked"));
    const QCommandLineOption nullSeparated = NullSeparatedOption();
    parser.addOptions({trashMarkedOption, nullSeparated});
    bool assumeYes = false;
    if (const std::optional<int> done = ParseJobArguments(parser, kDupesJob, invocation, assumeYes))
        return *done;
    QString folder;
    if (const std::optional<int> fault =
            ResolveFolderTreeArgument(parser.positionalArguments(), kDupesJob, folder))
        return *fault;

    ConsoleJobHost host(LoadBatchSettings(), ConsoleOptionsFor(false));
    host.setStartFolders({folder});
    QStringList lines;
    DuplicateSearchResult result;
    RunOnConsole(host, [&] { result = SearchDuplicates(host, folder, lines); });
    const bool nulls = parser.isSet(nullSeparated);
    for (const QString& path : lines)
        PrintPathRecord(path, nulls);
    printCounters(result);
    // A stopped search trashes nothing: its list may end inside a group.
    if (parser.isSet(trashMarkedOption) && !result.stopped)
        trashMarked(host, lines);
    if (InterruptRequested() || result.stopped)
        return ExitStatus::Interrupted;
    return host.skipped() == 0 ? ExitStatus::Done : ExitStatus::Error;
}

} // namespace

extern const BatchJob kDupesJob = {"dupes", "cli.dupes.summary", help, run};
