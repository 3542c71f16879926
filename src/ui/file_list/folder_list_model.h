#pragma once
// The file list's model: one row per shown item of the listed folder (its
// folders and the files the filter admits), in list order, with the columns
// of the details view (name, size, type, date). The folder is read in the
// background and shown as it comes; a new folder replaces the old one at
// once. While watching, a change in the folder is read again behind the
// list and merged in, so the selection and the place in the list stay.
//
// Qt's file-system model keeps a node with its file information, icon and
// type per file and re-sorts and re-filters through a proxy at each batch;
// for a folder of a hundred thousand pictures that took seconds and hundreds
// of megabytes. Here a row is its name, kind, size and time; icons and type
// names are looked up once per extension, texts made only when painted.

#include "fs/folder_entries.h"
#include "ui/file_list/folder_loader.h"

#include <QAbstractTableModel>
#include <QElapsedTimer>
#include <QHash>
#include <QIcon>
#include <QStringList>
#include <QTimer>

#include <vector>

class QFileSystemWatcher;

class FolderListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { NameColumn, SizeColumn, TypeColumn, DateColumn, ColumnCount };
    // The item's full path.
    static constexpr int FilePathRole = Qt::UserRole + 1;

    explicit FolderListModel(QObject* parent = nullptr);
    ~FolderListModel() override;

    // Lists `folder` from scratch: the old items go at once.
    void setFolder(const QString& folder);
    const QString& folder() const { return m_request.folder; }
    // Take effect at the next read.
    void setListMasks(const QStringList& masks) { m_request.masks = masks; }
    void setShowHidden(bool show) { m_request.showHidden = show; }
    // Reads the folder anew from scratch (the selection goes with the rows).
    void reread();
    // While watching, a change in the folder is merged in shortly after;
    // otherwise it is only noted (see isCurrent).
    void setWatching(bool on);
    bool watching() const { return m_watching; }
    // The folder has been read whole (also when it could not be read).
    bool isLoaded() const { return m_loaded; }
    // Read whole, with no change of the folder noticed since that is not in
    // the list (also while not watching).
    bool isCurrent() const;
    // Orders the rows by `column` (a Column; others mean the name), folders
    // first in either order, ties by name; the selection stays.
    void setSortOrder(int column, Qt::SortOrder order);
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

    const FolderEntry& entry(int row) const { return m_rows[std::size_t(row)]; }
    QString filePath(int row) const;
    bool isFolder(int row) const { return entry(row).kind == FolderEntryKind::Folder; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Renames the item in place, never replacing an existing entry.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    // The listed folder has been read whole.
    void loaded();

private:
    void startReading(FolderLoader::Delivery delivery);
    void takeBatches(FolderLoader::Batches&& batches);
    void readEnded(bool readable);
    void mergeIn(FolderLoader::Batches&& batches);
    void replaceKeepingItems(std::vector<FolderEntry>&& rows);
    // A change of rows in two steps: announced before the rows are touched,
    // then `rows` put in their place; `newRowOfOld[r]` is where old row r
    // went (-1: gone). Selection and current item follow their rows.
    void beginMovingRows();
    void endMovingRows(std::vector<FolderEntry>&& rows, const std::vector<int>& newRowOfOld);
    void folderChanged();
    // Watches the listed folder afresh.
    void watchFolder();
    // The list's order under the chosen column; the reader hands its batches
    // over in plain list order (by name), which this is by default.
    bool rowLess(const FolderEntry& a, const FolderEntry& b) const;
    bool inListOrder() const {
        return m_sortColumn == NameColumn && m_sortOrder == Qt::AscendingOrder;
    }
    std::vector<FolderEntry> mergeBatches(FolderLoader::Batches&& batches) const;
    QString typeName(const FolderEntry& item) const;
    QIcon icon(const FolderEntry& item) const;
    QString extensionKey(const FolderEntry& item) const;

    FolderRequest m_request;
    std::vector<FolderEntry> m_rows;
    FolderLoader* m_loader;
    FolderLoader::Delivery m_delivery = FolderLoader::Delivery::Growing;
    QFileSystemWatcher* m_watcher = nullptr;
    QTimer m_changeDelay;
    int m_sortColumn = NameColumn;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    bool m_watching = true;
    bool m_loaded = false;
    bool m_changedWhileReading = false;
    // A change noticed while not watching, or dropped by setWatching(false).
    bool m_changedUnread = false;
    QElapsedTimer m_readClock;
    qint64 m_lastReadMs = 0;
    // Looked up once per extension ("/" for folders); type names are in the
    // program's language and go with each new read.
    mutable QHash<QString, QIcon> m_icons;
    mutable QHash<QString, QString> m_types;
};
