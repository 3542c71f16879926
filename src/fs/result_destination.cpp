#include "fs/result_destination.h"

#include "fs/file_ops.h"
#include "fs/path_utils.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

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

LeftOutFolder ResultFoldersOf(const DestinationChoice& choice) {
    if (choice.kind == DestinationKind::SubFolder) {
        QString name = QDir::cleanPath(choice.subFolder);
        while (name.startsWith(QLatin1Char('/')))
            name.remove(0, 1);
        if (name.isEmpty() || name == QLatin1String(".") || name.startsWith(QLatin1String("..")))
            return {};
        const QString tail = QLatin1Char('/') + name + QLatin1Char('/');
        return [tail](const QString& folder) { return folder.endsWith(tail); };
    }
    if (choice.kind != DestinationKind::SetFolder || choice.setFolder.isEmpty())
        return {};
    // The set folder may be named through a link: the walk meets it by its
    // real place.
    const QString set = AddTrailingBackslash(QDir::cleanPath(choice.setFolder));
    struct stat target {};
    const bool known = ::stat(QFile::encodeName(set).constData(), &target) == 0;
    return [set, known, target](const QString& folder) {
        if (folder == set)
            return true;
        struct stat here {};
        return known && ::lstat(QFile::encodeName(folder).constData(), &here) == 0 &&
               here.st_dev == target.st_dev && here.st_ino == target.st_ino;
    };
}
