#include "ui/main_window/tree_folder_filter.h"

#include <QDir>
#include <QFileSystemModel>

TreeFolderFilter::TreeFolderFilter(QFileSystemModel* folders, const QStringList& revealed,
                                   QObject* parent)
    : QSortFilterProxyModel(parent), m_folders(folders), m_revealed(revealed) {
    setSourceModel(folders);
}

void TreeFolderFilter::reveal(const QString& folder) {
    QString path = QDir::cleanPath(folder);
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    if (!path.contains(QStringLiteral("/.")) || m_revealed.contains(path))
        return;
    m_revealed.append(path);
    invalidateFilter();
}

bool TreeFolderFilter::filterAcceptsRow(int row, const QModelIndex& parent) const {
    const QModelIndex index = m_folders->index(row, 0, parent);
    if (!m_folders->fileName(index).startsWith(QLatin1Char('.')))
        return true;
    const QString path = m_folders->filePath(index) + QLatin1Char('/');
    for (const QString& folder : m_revealed)
        if (folder.startsWith(path))
            return true;
    return false;
}
