// The folder tree after folders were made or removed: a fresh model that
// keeps what the user had open and selected.

#include "ui/folder_tree/folder_tree_model.h"
#include "ui/main_window/browser_controller.h"

#include <QFileInfo>
#include <QTreeView>

void BrowserController::folderTreeMayHaveChanged() {
    // Read once at the job's end, not after each series it works through.
    if (window().jobRunning()) {
        m_treeStale = true;
        return;
    }
    refreshFolderTree();
}

QStringList BrowserController::expandedTreeFolders() const {
    QStringList folders;
    QList<QModelIndex> pending{QModelIndex()};
    while (!pending.isEmpty()) {
        const QModelIndex parent = pending.takeLast();
        for (int row = 0; row < m_treeModel->rowCount(parent); ++row) {
            const QModelIndex child = m_treeModel->index(row, 0, parent);
            if (!m_tree->isExpanded(child))
                continue;
            folders.append(m_treeModel->filePath(child));
            pending.append(child);
        }
    }
    return folders;
}

void BrowserController::refreshFolderTree() {
    m_treeStale = false;
    const QString current = currentTreeFolder();
    const QStringList expanded = expandedTreeFolders();
    createTreeModel();
    // Parents stand before their sub-folders, so each opens inside an open one.
    for (const QString& folder : expanded)
        if (QFileInfo(folder).isDir())
            m_tree->expand(m_treeModel->indexOf(folder));
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
