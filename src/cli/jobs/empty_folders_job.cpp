// kelvasto-batch empty-folders: the folders below a start folder that hold no
// bytes, deepest first, and with --trash sent to the trash in that order.

#include "cli/batch_job.h"
#include "cli/console_job_host.h"
#include "duplicates/empty_folders.h"
#include "i18n/own_texts.h"

#include <QCommandLineParser>

extern const BatchJob kEmptyFoldersJob;

namespace {

QString help() {
    return OwnText("cli.empty_folders.help");
}

int run(const BatchInvocation& invocation) {
    QCommandLineParser parser;
    const QCommandLineOption trash(QStringLiteral("trash"));
    const QCommandLineOption nullSeparated(
        QStringList{QStringLiteral("0"), QStringLiteral("null")});
    parser.addOptions({trash, nullSeparated});
    bool assumeYes = false;
    if (const std::optional<int> done =
            ParseJobArguments(parser, kEmptyFoldersJob, invocation, assumeYes))
        return *done;
    if (parser.positionalArguments().size() != 1)
        return UsageError(OwnText("cli.one_folder"), &kEmptyFoldersJob);
    PathArguments start;
    if (const std::optional<int> fault =
            ResolvePathArguments(parser.positionalArguments(), true, kEmptyFoldersJob, start))
        return *fault;
    if (start.paths.isEmpty())
        return ExitStatus::Error;

    ConsoleOptions console;
    console.assumeYes = assumeYes;
    const bool nulls = parser.isSet(nullSeparated);
    ConsoleJobHost host(LoadBatchSettings(), console);
    QStringList folders;
    CollectEmptyFolders(host, start.paths.first(), folders);
    // Deepest first, the order they are removed in.
    for (qsizetype i = folders.size() - 1; i >= 0; --i) {
        if (nulls)
            PrintOutBytes(ArgumentBytes(folders.at(i)) + '\0');
        else
            PrintOut(ShownPath(folders.at(i)) + QLatin1Char('\n'));
    }
    if (!parser.isSet(trash))
        return ExitStatus::Done;
    const QStringList notTrashed = TrashEmptyFolders(folders);
    for (const QString& folder : notTrashed)
        PrintError(OwnText("cli.empty_folders.not_trashed").arg(ShownPath(folder)));
    return notTrashed.isEmpty() ? ExitStatus::Done : ExitStatus::Error;
}

} // namespace

extern const BatchJob kEmptyFoldersJob = {"empty-folders", "cli.empty_folders.summary", help, run};
