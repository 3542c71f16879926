#include "app/package_owner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// True when a line of `list` names `target`. Only lines ending in "/<name>"
// are looked at, so a list of thousands of paths costs a text search. A
// recorded path that is itself a symbolic link is a link the package
// installed, not the file.
bool listsFile(QByteArray list, const QByteArray& name, const struct stat& target) {
    if (!list.endsWith('\n'))
        list += '\n';
    const QByteArray ending = '/' + name + '\n';
    for (qsizetype at = list.indexOf(ending); at >= 0; at = list.indexOf(ending, at + 1)) {
        const qsizetype start = list.lastIndexOf('\n', at) + 1;
        const QByteArray path = list.mid(start, at + ending.size() - 1 - start);
        struct stat recorded {};
        if (::lstat(path.constData(), &recorded) == 0 && sameFile(recorded, target))
            return true;
    }
    return false;
}

} // namespace

QString OwningPackage(const QString& file, const QString& dpkgInfoFolder) {
    struct stat target {};
    if (::stat(QFile::encodeName(file).constData(), &target) != 0)
        return {};
    // The name the file really has: a link to it may be named otherwise.
    const QByteArray name =
        QFile::encodeName(QFileInfo(QFileInfo(file).canonicalFilePath()).fileName());
    const QDir info(dpkgInfoFolder);
    for (const QString& listName :
         info.entryList({QStringLiteral("*.list")}, QDir::Files, QDir::Name)) {
        QFile list(info.filePath(listName));
        if (list.open(QIODevice::ReadOnly) && listsFile(list.readAll(), name, target))
            return listName.chopped(5).section(QLatin1Char(':'), 0, 0);
    }
    return {};
}
