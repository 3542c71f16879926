#pragma once
// The file browser on the window's upper page: the folder tree, the filter
// below it and the file list, with the toolbar's view, refresh and undo
// buttons and the file list's pop-up menu. The controller builds the page
// (the window places it), owns the tree's model and the list's settings, and
// holds the handlers under their established names.

#include "ui/features/feature_controller.h"
#include "ui/file_list/shell_file_list.h"

#include <QImage>
#include <QStringList>

class FolderTreeModel;
class QTreeView;

class BrowserController : public FeatureController {
public:
    explicit BrowserController(THauptForm& window);

    // Splitter01: the folder tree and the filter beside the file list.
    QWidget* buildPage(QWidget* parent);
    void build(const FeaturePlaces& places) override;
    // The stored splitter, filter, background and sort order; the keyboard
    // starts in the tree.
    void windowCreated() override;
    // A tree read anew at the end of the job that changed folders.
    void jobEnded() override;

    ShellFileList* fileList() const { return m_fileList; }
    QTreeView* folderTree() const { return m_tree; }
    const QString& treeFolder() const { return m_treeFolder; }
    const QStringList& listMasks() const { return m_listMasks; }
    const QImage& texturePicture() const { return m_texturePicture; }
    // Puts a new picture behind the file list (null: ordinary background).
    void setTexturePicture(const QImage& picture);

    // The folder tree's current folder, without trailing "/".
    QString currentTreeFolder() const;
    // Selects a folder in the tree; false when it cannot be shown.
    bool selectTreeFolder(const QString& folder);
    // The folder selected in the tree, with a trailing "/".
    QString selectedFolder() const;
    // Selected non-folder items of the file list, in display order.
    QStringList selectedFiles() const;
    void refreshFileList();
    // The folder tree does not watch the file system (a job writing into a
    // large folder would have it re-read that folder at every file). Called
    // where folders may have been made or removed: the tree reads them anew
    // now, or at the end of the job that is running.
    void folderTreeMayHaveChanged();
    // Gives FilterComboBox01 this single filter when it differs (ignoring
    // case) from the current one, then runs its change handler.
    void setFileFilter(const QString& filterText);
    QString fileFilter() const;
    // 2 when the active series tab 0..2 has its "rekursiv" box ticked,
    // otherwise the number of selected items (0 without a current item).
    int SelectionKind() const;

    void TB01RefreshClick();
    void TB01LargeIconClick();
    void TB01SmallIconClick();
    void TB01ListClick();
    void TB01ReportClick();
    void TB01RueckgaengigClick();
    void ShellTreeView01Change();
    void FilterComboBox01Change();
    void ShellListView01OnScrollHor();
    // The user sorted the file list: kept with the other view settings.
    void ShellListView01SortChange(int column, Qt::SortOrder order);
    void PopupMenu01Popup();
    void PM01_DateiLoeschenClick();
    void PM01_DateienMarkierenClick();
    void PM01_EigenschaftenClick();
    // A double click in the file list: a folder opens in the tree, a file
    // with the program the desktop associates with it.
    void ShellListView01DblClick(const QString& path);
    // Backspace in the file list: the tree goes to the parent folder, and
    // the list shows the folder it came from as its current item.
    void ShellListView01GoUp();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createTreeModel();
    // A fresh tree model that keeps the opened folders and the selected one
    // (or, when that is gone, its nearest ancestor still there).
    void refreshFolderTree();
    QStringList expandedTreeFolders() const;
    void ShellListView01HinterGrund();
    void switchView(ViewStyle style);

    QString m_treeFolder;
    QStringList m_listMasks;
    QImage m_texturePicture;
    bool m_treeFollowsCurrent = false;
    bool m_treeStale = false;
    FolderTreeModel* m_treeModel = nullptr;
    QTreeView* m_tree = nullptr;
    ShellFileList* m_fileList = nullptr;
};
