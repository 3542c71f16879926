#include "fs/path_utils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <sys/stat.h>
#include <sys/statvfs.h>

QString AddTrailingBackslash(const QString& path) {
    if (path.endsWith(QLatin1Char('/')))
        return path;
    return path + QLatin1Char('/');
}

QString FolderOf(const QString& path) {
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString FileNameOf(const QString& path) {
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString MakeBlanks(int n) {
    return QString(qBound(0, n, 255) + 1, QLatin1Char(' '));
}

QString StripDigits(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            out += c;
    return out;
}

QString NearestExistingFolder(const QString& path) {
    if (!path.startsWith(QLatin1Char('/')))
        return {};
    QString current = QDir::cleanPath(path);
    while (!QFileInfo(current).isDir()) {
        const int slash = current.lastIndexOf(QLatin1Char('/'));
        if (slash <= 0)
            return QStringLiteral("/");
        current.truncate(slash);
    }
    return current;
}

bool IsDriveReady(const QString& path) {
    const QString folder = NearestExistingFolder(path);
    if (folder.isEmpty())
        return false;
    struct statvfs info {};
    return ::statvfs(QFile::encodeName(folder).constData(), &info) == 0;
}

bool RecycleFile(const QString& path) {
    // Qt 6.4 falls back to "./files" of the current folder when the data home
    // is missing; make sure the real trash location exists first.
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!dataHome.isEmpty())
        QDir().mkpath(dataHome);
    const QByteArray encoded = QFile::encodeName(path);
    struct stat before {};
    if (::lstat(encoded.constData(), &before) != 0)
        return false;
    if (!QFile::moveToTrash(path))
        return false;
    struct stat after {};
    return ::lstat(encoded.constData(), &after) != 0;
}

bool IsFaithfulFileName(const QByteArray& encodedName) {
    return QFile::encodeName(QFile::decodeName(encodedName)) == encodedName;
}
