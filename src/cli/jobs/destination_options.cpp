#include "cli/jobs/destination_options.h"

#include "fs/path_utils.h"
#include "i18n/own_texts.h"

#include <QDir>
#include <QFileInfo>

std::optional<int> DestinationOptions::read(const QCommandLineParser& parser, const BatchJob& job,
                                            DestinationChoice& choice) const {
    const int given =
        int(parser.isSet(dest)) + int(parser.isSet(sourceFolder)) + int(parser.isSet(subFolder));
    if (given > 1)
        return UsageError(OwnText("cli.index.one_destination"), &job);
    if (parser.isSet(dest)) {
        const QString folder = parser.value(dest);
        if (folder.isEmpty())
            return UsageError(OwnText("cli.needs_value").arg(QStringLiteral("--dest")), &job);
        const QFileInfo info(folder);
        if (!info.isDir()) {
            PrintError(OwnText("cli.index.bad_dest").arg(ShownPath(folder)));
            return ExitStatus::Error;
        }
        choice.kind = DestinationKind::SetFolder;
        choice.setFolder = AddTrailingBackslash(QDir::cleanPath(info.absoluteFilePath()));
    } else if (parser.isSet(subFolder)) {
        const QString name = parser.value(subFolder);
        if (name.isEmpty())
            return UsageError(OwnText("cli.needs_value").arg(QStringLiteral("--subfolder")), &job);
        choice.kind = DestinationKind::SubFolder;
        choice.subFolder = name;
    } else {
        choice.kind = DestinationKind::SourceFolder;
    }
    return std::nullopt;
}
