#include "cli/jobs/folder_tree_argument.h"

#include "cli/batch_job.h"
#include "i18n/own_texts.h"

std::optional<int> ResolveFolderTreeArgument(const QStringList& positional, const BatchJob& job,
                                             QString& folder) {
    if (positional.size() != 1)
        return UsageError(OwnText("cli.dupes.one_folder"), &job);
    if (ResolveArgument(positional.first(), true).kind == ArgumentKind::File)
        return UsageError(OwnText("cli.dupes.not_a_folder").arg(ShownPath(positional.first())),
                          &job);
    PathArguments resolved;
    if (const std::optional<int> fault =
            ResolvePathArguments(positional, /*recursive=*/true, job, resolved))
        return fault;
    // A link or a name that is not UTF-8 was named and left out.
    if (resolved.paths.isEmpty())
        return ExitStatus::Error;
    folder = resolved.paths.first();
    return std::nullopt;
}
