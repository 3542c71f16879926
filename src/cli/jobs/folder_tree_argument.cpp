#include "cli/jobs/folder_tree_argument.h"

#include "cli/batch_job.h"
#include "cli/standard_streams.h"
#include "fs/path_utils.h"
#include "i18n/catalogue.h"
#include "i18n/own_texts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr int kDoesNotExist = 9004;

} // namespace

std::optional<int> ResolveFolderTreeArgument(const QStringList& positional, const BatchJob& job,
                                             QString& folder) {
    if (positional.size() != 1)
        return UsageError(OwnText("cli.dupes.one_folder"), &job);
    const QString& argument = positional.first();
    const QFileInfo info(argument);
    if (!info.exists()) {
        PrintError(argument + CatalogueText(kDoesNotExist));
        return ExitStatus::Error;
    }
    if (!info.isDir())
        return UsageError(OwnText("cli.dupes.not_a_folder").arg(argument), &job);
    folder = AddTrailingBackslash(QDir::cleanPath(info.absoluteFilePath()));
    return std::nullopt;
}

void PrintPathRecord(const QString& path, bool nullSeparated) {
    WriteStandardOutput(QFile::encodeName(path) + (nullSeparated ? '\0' : '\n'));
}
