#include "ui/file_list/file_list_filter.h"

#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLocale>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

QString FilterMask(const QString& filterText) {
    const qsizetype bar = filterText.indexOf(QLatin1Char('|'));
    const QString mask = bar < 0 ? filterText : filterText.mid(bar + 1);
    return mask.isEmpty() ? QStringLiteral("*.*") : mask;
}

QStringList ParseListMasks(const QString& mask) {
    if (mask == QLatin1String("*.*"))
        return {mask};
    // One entry per "*"; ";" moves to the next entry. Characters beyond the
    // counted entries are dropped rather than written past the list.
    const qsizetype entries = mask.count(QLatin1Char('*'));
    QStringList masks(entries);
    qsizetype current = 0;
    for (const QChar c : mask) {
        if (c == QLatin1Char(';'))
            ++current;
        else if (current < entries)
            masks[current].append(c);
    }
    return masks;
}

QString NameExtension(const QString& name) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

QVariant FileCellInProgramLocale(const QFileSystemModel& files, const QModelIndex& item) {
    const QLocale locale;
    if (item.column() == 3)
        return locale.toString(files.lastModified(item), QLocale::ShortFormat);
    if (item.column() == 1 && !files.isDir(item))
        return locale.formattedDataSize(files.size(item));
    return {};
}

bool ListMasksAdmit(const QStringList& masks, const QString& name, bool isFolder) {
    if (isFolder)
        return true;
    const QString extension = NameExtension(name);
    for (const QString& mask : masks) {
        if (mask == QLatin1String("*.*"))
            return true;
        if (extension.compare(NameExtension(mask), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

FileListFilterModel::FileListFilterModel(QObject* parent) : QSortFilterProxyModel(parent) {
    setDynamicSortFilter(true);
    setSortCaseSensitivity(Qt::CaseInsensitive);
}

void FileListFilterModel::setListMasks(const QStringList& masks) {
    m_masks = masks;
    invalidateFilter();
}

bool FileListFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (!files)
        return true;
    const QModelIndex item = files->index(sourceRow, 0, sourceParent);
    // Only the listed folder's items are filtered; its ancestors must stay so
    // that the view's root stays reachable.
    if (files->filePath(sourceParent) != files->rootPath())
        return true;
    return ListMasksAdmit(m_masks, files->fileName(item), files->isDir(item));
}

bool FileListFilterModel::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (!files)
        return QSortFilterProxyModel::lessThan(left, right);
    const bool leftFolder = files->isDir(left);
    if (leftFolder != files->isDir(right))
        // The proxy turns the answer round for a descending order; folders
        // stay first all the same.
        return leftFolder == (sortOrder() == Qt::AscendingOrder);
    switch (left.column()) {
    case 1:
        if (!leftFolder && files->size(left) != files->size(right))
            return files->size(left) < files->size(right);
        break;
    case 2:
        if (const int order = files->type(left).compare(files->type(right), Qt::CaseInsensitive))
            return order < 0;
        break;
    case 3:
        if (files->lastModified(left) != files->lastModified(right))
            return files->lastModified(left) < files->lastModified(right);
        break;
    default:
        break;
    }
    // The file model gives a name only for the name column.
    const QString a = files->fileName(left.siblingAtColumn(0));
    const QString b = files->fileName(right.siblingAtColumn(0));
    const int folded = a.compare(b, Qt::CaseInsensitive);
    if (folded != 0)
        return folded < 0;
    return QFile::encodeName(a) < QFile::encodeName(b);
}

QVariant FileListFilterModel::data(const QModelIndex& index, int role) const {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (files && role == Qt::DisplayRole) {
        const QVariant cell = FileCellInProgramLocale(*files, mapToSource(index));
        if (cell.isValid())
            return cell;
    }
    return QSortFilterProxyModel::data(index, role);
}

bool FileListFilterModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (!files || role != Qt::EditRole || index.column() != 0)
        return QSortFilterProxyModel::setData(index, value, role);
    const QString from = files->filePath(mapToSource(index));
    const QString newName = value.toString();
    if (newName == QFileInfo(from).fileName())
        return true;
    // The model picks the new name up from the file system itself.
    return RenameWithoutReplacing(from, newName);
}

bool RenameWithoutReplacing(const QString& from, const QString& newName) {
    if (newName.isEmpty() || newName.contains(QLatin1Char('/')) || newName == QLatin1String(".") ||
        newName == QLatin1String(".."))
        return false;
    const QString to = QFileInfo(from).absolutePath() + QLatin1Char('/') + newName;
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    // POSIX rename would replace the target; RENAME_NOREPLACE refuses instead.
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // File systems without RENAME_NOREPLACE: a hard link fails on an existing
    // name, so link, then drop the old name (files only).
    if (::link(source.constData(), target.constData()) != 0)
        return false;
    return ::unlink(source.constData()) == 0;
}
