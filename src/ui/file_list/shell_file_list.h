#pragma once
// ShellListView01: the file list. One widget offering the four views (large
// icons, small icons, list, details) on ONE model and ONE selection, so that a
// change of view keeps the selection. A texture may lie behind the items.

#include "ui/file_list/file_list_keys.h"
#include "ui/icons/theme_icons.h"

#include <QColor>
#include <QImage>
#include <QStringList>
#include <QWidget>

class FileListFilterModel;
class FolderRowsModel;
class ListThumbnails;
class QAbstractItemView;
class QFileSystemModel;
class QItemSelectionModel;
class QListView;
class QStackedLayout;
class QTreeView;

enum class ViewStyle { LargeIcon, SmallIcon, List, Report };

class ShellFileList : public QWidget {
    Q_OBJECT
public:
    explicit ShellFileList(QWidget* parent = nullptr);

    // Lists `folder` (a path, with or without trailing "/").
    void setFolder(const QString& folder);
    QString folder() const { return m_folder; }

    void setViewStyle(ViewStyle style);
    ViewStyle viewStyle() const { return m_style; }

    void setListMasks(const QStringList& masks);
    void setShowHidden(bool show);
    bool showsHidden() const { return m_showHidden; }
    // Reads the folder anew from the file system; the selection is dropped.
    void reread();
    // While a job moves or writes files below the listed folder, the model
    // would re-read the folder at every change. The job re-reads the list at
    // its end; resumeWatching() re-reads only when that did not happen.
    void suspendWatching();
    void resumeWatching();
    bool watching() const { return !m_watchSuspended; }

    // The texture tiled behind items and text; a null image: ordinary
    // background.
    void setTexture(const QImage& texture);
    const QImage& texture() const { return m_texture; }
    // The user's colour for the text over his own texture. An invalid
    // colour: over a texture black or white, whichever contrasts more with
    // it; without one the window's ordinary text colour.
    void setTextColour(const QColor& colour);
    QColor textColour() const;

    // Items in display order.
    QStringList itemNames() const;
    QStringList itemPaths() const;
    QStringList selectedPaths() const;
    int selectedCount() const;
    bool hasCurrentItem() const;
    // Selects the items with these names (tests and keyboard-free callers).
    void selectNames(const QStringList& names);
    void selectAll();
    // Starts in-place editing of the named item; false when it is not listed.
    bool editName(const QString& name);
    // True when the folder's listing has arrived.
    bool isLoaded() const { return m_loaded; }

    // What a key does in the list (see file_list_keys.h).
    void runKeyCommand(ListKeyCommand command);
    // Once the next folder's listing has arrived, the item `name` becomes
    // the current item (the folder one came up from).
    void makeCurrentWhenLoaded(const QString& name) { m_currentWhenLoaded = name; }

    QAbstractItemView* activeView() const;
    QListView* iconView() const { return m_iconView; }
    QTreeView* detailsView() const { return m_detailsView; }
    QItemSelectionModel* selectionModel() const { return m_selection; }
    FileListFilterModel* filterModel() const { return m_filter; }
    QFileSystemModel* fileModel() const { return m_files; }
    // Pictures instead of the page icon in the icon views (large and small).
    void setThumbnails(bool on);
    bool thumbnailsOn() const { return m_thumbnailsOn; }
    ListThumbnails* thumbnails() const { return m_thumbnails; }

signals:
    void contextMenuRequested(const QPoint& globalPos);
    // Raised after the list handled a horizontal scroll.
    void scrolledHorizontally();
    void folderLoaded();
    // An item was double-clicked (or Enter pressed on it): its path.
    void itemOpened(const QString& path);
    // Backspace: the user asks for the folder above the listed one.
    void parentFolderRequested();
    // Delete and Alt+Enter: the pop-up menu's entries by keyboard.
    void deleteRequested();
    void propertiesRequested();
    // The pointer moved over the list to `pointer` (screen): the path of the
    // item under it, empty over empty space.
    void pointerMoved(const QString& itemPath, const QPoint& pointer);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createFileModel();
    void applyRoot();
    void applyBackground(QAbstractItemView* view);
    QString pathAt(int row) const;
    // The file model's index of an index of the views.
    QModelIndex sourceOf(const QModelIndex& shown) const;
    void openCurrentItem();
    // At the current item; at the view's top left without one.
    void popUpMenuAtCurrentItem();
    QString pathAtViewPosition(QAbstractItemView* view, const QPoint& position) const;

    QString m_folder;
    QString m_currentWhenLoaded;
    ViewStyle m_style = ViewStyle::List;
    bool m_showHidden = false;
    bool m_thumbnailsOn = false;
    bool m_loaded = false;
    bool m_watchSuspended = false;
    QImage m_texture;
    QColor m_textColour;
    // Black or white, whichever reads better on the texture.
    QColor m_textureTextColour;
    QFileSystemModel* m_files = nullptr;
    FileListFilterModel* m_filter;
    // The views' model: the listed folder's items as top-level rows.
    FolderRowsModel* m_rows;
    QItemSelectionModel* m_selection;
    QStackedLayout* m_stack;
    QListView* m_iconView;
    QTreeView* m_detailsView;
    ListThumbnails* m_thumbnails = nullptr;
};
