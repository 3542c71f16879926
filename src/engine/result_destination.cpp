#include "engine/result_destination.h"

#include "engine/file_ops.h"
#include "engine/path_utils.h"

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
