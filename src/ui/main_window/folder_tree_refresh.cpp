// The folder tree after folders were made or removed: a fresh model that
// keeps what the user had open and selected.

#include "ui/main_window/hauptform.h"
#include "ui/main_window/tree_folder_filter.h"

#include <QFileInfo>
#include <QFileSystemModel>
#include <QTreeView>

void THauptForm::folderTreeMayHaveChanged() {
    // Read once at the job's end, not after each series it works through.
    if (jobRunning()) {
        m_treeStale = true;
        return;
    }
    refreshFolderTree();
}

QStringList THauptForm::expandedTreeFolders() const {
    QStringList folders;
    QList<QModelIndex> pending{QModelIndex()};
    while (!pending.isEmpty()) {
        const QModelIndex parent = pending.takeLast();
        // The tree's own indices are its filter's.
        for (int row = 0; row < m_treeFilter->rowCount(parent); ++row) {
            const QModelIndex child = m_treeFilter->index(row, 0, parent);
            if (!m_tree->isExpanded(child))
                continue;
            folders.append(m_treeModel->filePath(m_treeFilter->mapToSource(child)));
            pending.append(child);
        }
    }
    return folders;
}

void THauptForm::refreshFolderTree() {
    m_treeStale = false;
    const QString current = currentTreeFolder();
    const QStringList expanded = expandedTreeFolders();
    createTreeModel();
    // Parents stand before their sub-folders, so each opens inside an open one.
    for (const QString& folder : expanded)
        if (QFileInfo(folder).isDir())
            m_tree->expand(m_treeFilter->mapFromSource(m_treeModel->index(folder)));
    // A selected folder that went (to the trash, say) gives way to the
    // nearest folder above it; the file list follows.
    for (QString folder = current; !folder.isEmpty();) {
        if (selectTreeFolder(folder))
            break;
        const QString up = QFileInfo(folder).path();
        if (up == folder)
            break;
        folder = up;
    }
}
