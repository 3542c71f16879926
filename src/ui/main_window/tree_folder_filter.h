#pragma once
// The folder tree's filter: hidden folders stay out of the tree, except the
// ones that lead to a folder the program itself selects (the default working
// folder lies in ~/.local/share, and the result view must show its defect
// folder). Whatever the tree shows, the user can reach by a click.

#include <QSortFilterProxyModel>
#include <QStringList>

class QFileSystemModel;

class TreeFolderFilter : public QSortFilterProxyModel {
public:
    // `revealed`: the folders an earlier filter of the tree showed.
    TreeFolderFilter(QFileSystemModel* folders, const QStringList& revealed, QObject* parent);

    QFileSystemModel* folders() const { return m_folders; }
    const QStringList& revealed() const { return m_revealed; }

    // Shows the hidden folders on the way to `folder` from now on.
    void reveal(const QString& folder);

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override;

private:
    QFileSystemModel* m_folders;
    QStringList m_revealed; // clean paths, each ending with "/"
};
