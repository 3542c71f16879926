#pragma once
// The folder tree's model: the folders of the file system from "/" down,
// hidden ones left out but for those on the way to a folder the program
// selects (the working folder lies in ~/.local/share), each level sorted as
// a file manager sorts names (ignoring case, numbers by their value). A
// folder's sub-folders are read in the background when it is first opened,
// from the listing's entry types alone (a look at an entry only for links),
// and are not followed afterwards: a fresh model reads them anew.
//
// Qt's file-system model keeps a node with full file information for every
// entry of a folder it lists, files too, even when it shows folders only: a
// start folder holding a hundred thousand pictures cost the tree seconds and
// a hundred megabytes.

#include "base/threads/owned_thread_pool.h"

#include <QAbstractItemModel>
#include <QCollator>
#include <QIcon>
#include <QStringList>

#include <memory>
#include <vector>

class FolderTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit FolderTreeModel(QObject* parent = nullptr);
    // Waits for the folders being read.
    ~FolderTreeModel() override;

    // The item of the folder `path` (absolute, clean), made along its way
    // where its folders have not been read yet; invalid when `path` is not
    // a folder.
    QModelIndex indexOf(const QString& path);
    QString filePath(const QModelIndex& index) const;

    QModelIndex index(int row, int column,
                      const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // The sub-folders of `path` have been read.
    void directoryLoaded(const QString& path);

private:
    struct Node {
        QString name;
        Node* parent = nullptr;
        std::vector<std::unique_ptr<Node>> children; // sorted
        enum class State { Unread, Reading, Read } state = State::Unread;
    };

    Node* nodeOf(const QModelIndex& index) const;
    QModelIndex indexOfNode(Node* node) const;
    QString pathOf(const Node* node) const;
    // Adds the sub-folder `name` at its place among `parent`'s children.
    Node* addChild(Node* parent, const QString& name);
    std::size_t placeOf(const Node* parent, const QString& name) const;
    void subFoldersRead(Node* node, const QStringList& names);

    Node m_top; // invisible; its one child is "/"
    QCollator m_collator;
    QIcon m_folderIcon;
    // A folder stuck on a slow file system must not hold up the others.
    OwnedThreadPool m_pool{4};
};
