#pragma once
// The listed folder's items as the top level of a model. The file model
// holds the whole file system as one tree below "/"; a view shows one folder
// of it by its root index, but a screen reader asks the view's model for its
// top-level rows and found a single one ("/"). With this model between them,
// every item of the listed folder is a row a screen reader reaches.

#include <QAbstractProxyModel>
#include <QList>
#include <QPersistentModelIndex>

class FolderRowsModel : public QAbstractProxyModel {
    Q_OBJECT
public:
    explicit FolderRowsModel(QObject* parent = nullptr);

    void setSourceModel(QAbstractItemModel* source) override;
    // The source index whose children become the rows; invalid: none.
    void setFolder(const QModelIndex& sourceFolder);
    QModelIndex folder() const { return m_folder; }

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QModelIndex mapToSource(const QModelIndex& proxy) const override;
    QModelIndex mapFromSource(const QModelIndex& source) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    void connectSource(QAbstractItemModel* source);
    bool isFolder(const QModelIndex& sourceParent) const;
    void beforeLayoutChange();
    void afterLayoutChange();

    QPersistentModelIndex m_folder;
    bool m_resetting = false;
    QList<QPersistentModelIndex> m_layoutSources;
    QModelIndexList m_layoutProxies;
};
