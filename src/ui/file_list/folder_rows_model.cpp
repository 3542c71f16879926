#include "ui/file_list/folder_rows_model.h"

FolderRowsModel::FolderRowsModel(QObject* parent) : QAbstractProxyModel(parent) {}

void FolderRowsModel::setSourceModel(QAbstractItemModel* source) {
    beginResetModel();
    if (sourceModel())
        disconnect(sourceModel(), nullptr, this, nullptr);
    m_folder = QPersistentModelIndex();
    QAbstractProxyModel::setSourceModel(source);
    if (source)
        connectSource(source);
    endResetModel();
}

void FolderRowsModel::setFolder(const QModelIndex& sourceFolder) {
    beginResetModel();
    m_folder = sourceFolder;
    endResetModel();
}

bool FolderRowsModel::isFolder(const QModelIndex& sourceParent) const {
    return m_folder.isValid() && sourceParent == m_folder;
}

void FolderRowsModel::connectSource(QAbstractItemModel* source) {
    using M = QAbstractItemModel;
    connect(source, &M::rowsAboutToBeInserted, this,
            [this](const QModelIndex& parent, int first, int last) {
                if (isFolder(parent))
                    beginInsertRows({}, first, last);
            });
    connect(source, &M::rowsInserted, this, [this](const QModelIndex& parent) {
        if (isFolder(parent))
            endInsertRows();
    });
    connect(source, &M::rowsAboutToBeRemoved, this,
            [this](const QModelIndex& parent, int first, int last) {
                if (isFolder(parent))
                    beginRemoveRows({}, first, last);
                // The folder itself goes: no rows are left.
                else if (m_folder.isValid() && !m_resetting) {
                    for (QModelIndex up = m_folder; up.isValid(); up = up.parent())
                        if (up.parent() == parent && up.row() >= first && up.row() <= last) {
                            m_resetting = true;
                            beginResetModel();
                            break;
                        }
                }
            });
    connect(source, &M::rowsRemoved, this, [this](const QModelIndex& parent) {
        if (isFolder(parent))
            endRemoveRows();
        else if (m_resetting) {
            m_resetting = false;
            m_folder = QPersistentModelIndex();
            endResetModel();
        }
    });
    // Moves within the folder are rare (a rename re-sorts by layout change):
    // a reset keeps the rows right.
    connect(source, &M::rowsAboutToBeMoved, this, [this] { beginResetModel(); });
    connect(source, &M::rowsMoved, this, [this] { endResetModel(); });
    connect(source, &M::columnsAboutToBeInserted, this, [this] { beginResetModel(); });
    connect(source, &M::columnsInserted, this, [this] { endResetModel(); });
    connect(source, &M::columnsAboutToBeRemoved, this, [this] { beginResetModel(); });
    connect(source, &M::columnsRemoved, this, [this] { endResetModel(); });
    connect(source, &M::modelAboutToBeReset, this, [this] { beginResetModel(); });
    connect(source, &M::modelReset, this, [this] {
        m_folder = QPersistentModelIndex();
        endResetModel();
    });
    connect(source, &M::dataChanged, this,
            [this](const QModelIndex& from, const QModelIndex& to, const QList<int>& roles) {
                if (isFolder(from.parent()))
                    emit dataChanged(mapFromSource(from), mapFromSource(to), roles);
            });
    connect(source, &M::headerDataChanged, this, &M::headerDataChanged);
    connect(source, &M::layoutAboutToBeChanged, this, [this] { beforeLayoutChange(); });
    connect(source, &M::layoutChanged, this, [this] { afterLayoutChange(); });
}

// Sorting and filtering in the source reorder the rows: the views'
// selection and current item follow their items.
void FolderRowsModel::beforeLayoutChange() {
    emit layoutAboutToBeChanged();
    m_layoutProxies = persistentIndexList();
    m_layoutSources.clear();
    for (const QModelIndex& proxy : std::as_const(m_layoutProxies))
        m_layoutSources << QPersistentModelIndex(mapToSource(proxy));
}

void FolderRowsModel::afterLayoutChange() {
    QModelIndexList moved;
    for (const QPersistentModelIndex& source : std::as_const(m_layoutSources))
        moved << mapFromSource(source);
    changePersistentIndexList(m_layoutProxies, moved);
    m_layoutProxies.clear();
    m_layoutSources.clear();
    emit layoutChanged();
}

QModelIndex FolderRowsModel::index(int row, int column, const QModelIndex& parent) const {
    if (parent.isValid() || row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
        return {};
    return createIndex(row, column);
}

QModelIndex FolderRowsModel::parent(const QModelIndex&) const {
    return {};
}

int FolderRowsModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !m_folder.isValid() || !sourceModel())
        return 0;
    return sourceModel()->rowCount(m_folder);
}

int FolderRowsModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid() || !m_folder.isValid() || !sourceModel())
        return 0;
    return sourceModel()->columnCount(m_folder);
}

bool FolderRowsModel::hasChildren(const QModelIndex& parent) const {
    return !parent.isValid() && rowCount() > 0;
}

QModelIndex FolderRowsModel::mapToSource(const QModelIndex& proxy) const {
    if (!proxy.isValid() || !m_folder.isValid() || !sourceModel())
        return {};
    return sourceModel()->index(proxy.row(), proxy.column(), m_folder);
}

QModelIndex FolderRowsModel::mapFromSource(const QModelIndex& source) const {
    if (!source.isValid() || !isFolder(source.parent()))
        return {};
    return createIndex(source.row(), source.column());
}

QVariant FolderRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    return sourceModel() ? sourceModel()->headerData(section, orientation, role) : QVariant();
}
