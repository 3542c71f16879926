// kelvasto-batch empty-folders: the empty-folder removal of the window on
// one folder tree named on the command line.

#include "cli/batch_job.h"
#include "cli/console_job_host.h"
#include "cli/jobs/folder_tree_argument.h"
#include "i18n/own_texts.h"
#include "jobs/empty_folders/empty_folders.h"

#include <QCommandLineParser>

extern const BatchJob kEmptyFoldersJob;

namespace {

QString help() {
    return OwnText("cli.empty_folders.help");
}

int run(const BatchInvocation& invocation) {
    QCommandLineParser parser;
    const QCommandLineOption trash(QStringLiteral("trash"));
    const QCommandLineOption nullSeparated = NullSeparatedOption();
    parser.addOptions({trash, nullSeparated});
    bool assumeYes = false;
    if (const std::optional<int> done =
            ParseJobArguments(parser, kEmptyFoldersJob, invocation, assumeYes))
        return *done;
    QString folder;
    if (const std::optional<int> fault =
            ResolveFolderTreeArgument(parser.positionalArguments(), kEmptyFoldersJob, folder))
        return *fault;

    ConsoleJobHost host(LoadBatchSettings(), ConsoleOptions{});
    QStringList folders;
    CollectEmptyFolders(host, folder, folders);
    // Deepest first, the order they are removed in.
    for (qsizetype i = folders.size() - 1; i >= 0; --i)
        PrintPathRecord(folders.at(i), parser.isSet(nullSeparated));
    if (parser.isSet(trash))
        for (const QString& trashed : TrashEmptyFolders(host, folders))
            PrintError(OwnText("cli.trashed").arg(ShownPath(trashed)));
    return host.skipped() == 0 ? ExitStatus::Done : ExitStatus::Error;
}

} // namespace

extern const BatchJob kEmptyFoldersJob = {"empty-folders", "cli.empty_folders.summary", help, run};
