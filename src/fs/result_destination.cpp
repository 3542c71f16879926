#include "fs/result_destination.h"

#include "fs/file_ops.h"
#include "fs/path_utils.h"

QString ResultFolder(const DestinationChoice& choice, const QString& sourceFolder) {
    switch (choice.kind) {
    case DestinationKind::SetFolder:
        return AddTrailingBackslash(choice.setFolder);
    case DestinationKind::SourceFolder:
        return AddTrailingBackslash(sourceFolder);
    case DestinationKind::SubFolder:
        break;
    }
    const QString source = AddTrailingBackslash(sourceFolder);
    if (choice.subFolder.isEmpty())
        return source;
    MakeFolderPath(source + choice.subFolder); // a failure shows when writing
    return AddTrailingBackslash(source + choice.subFolder);
}

QString ResultPath(const DestinationChoice& choice, const QString& besideSource) {
    const qsizetype slash = besideSource.lastIndexOf(QLatin1Char('/'));
    return ResultFolder(choice, besideSource.left(slash + 1)) + besideSource.mid(slash + 1);
}

bool DestinationMissing(const DestinationChoice& choice) {
    return choice.kind == DestinationKind::SetFolder && choice.setFolder.isEmpty();
}
