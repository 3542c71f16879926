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

#include <vector>

class FolderListModel;
class ListThumbnails;
class QAbstractItemView;
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

    // The order of the items in every view: by column 0 name, 1 size, 2 type
    // or 3 date (another number gives the name), folders first in either
    // order. The user sets it by a click on a column header of the details
    // view, which raises sortChanged.
    void setSortOrder(int column, Qt::SortOrder order);
    int sortColumn() const;
    Qt::SortOrder sortOrder() const;

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
    // The selected items that are not folders, in display order.
    QStringList selectedFilePaths() const;
    int selectedCount() const;
    bool hasCurrentItem() const;
    // Selects the items with these names (tests and keyboard-free callers).
    void selectNames(const QStringList& names);
    void selectAll();
    // Starts in-place editing of the named item; false when it is not listed.
    bool editName(const QString& name);
    // True when the folder's listing has arrived whole.
    bool isLoaded() const;
    // True when the listing is whole and no change of the folder is waiting
    // to be read: the kinds of its items (file or folder) are as it says.
    bool listingIsCurrent() const;

    // What a key does in the list (see file_list_keys.h).
    void runKeyCommand(ListKeyCommand command);
    // Once the next folder's listing has arrived, the item `name` becomes
    // the current item (the folder one came up from).
    void makeCurrentWhenLoaded(const QString& name) { m_currentWhenLoaded = name; }

    QAbstractItemView* activeView() const;
    QListView* iconView() const { return m_iconView; }
    QTreeView* detailsView() const { return m_detailsView; }
    QItemSelectionModel* selectionModel() const { return m_selection; }
    // The one model of the four views: a row per shown item.
    FolderListModel* listModel() const { return m_model; }
    // Pictures instead of the page icon in the icon views (large and small).
    void setThumbnails(bool on);
    bool thumbnailsOn() const { return m_thumbnailsOn; }
    ListThumbnails* thumbnails() const { return m_thumbnails; }

signals:
    void contextMenuRequested(const QPoint& globalPos);
    // The user sorted the list by a click on a column header.
    void sortChanged(int column, Qt::SortOrder order);
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
    void applyBackground(QAbstractItemView* view);
    void openCurrentItem();
    // At the current item; at the view's top left without one.
    void popUpMenuAtCurrentItem();
    void folderArrived();
    QString pathAtViewPosition(QAbstractItemView* view, const QPoint& position) const;
    // Rows with a selected item, in display order.
    std::vector<int> selectedRows() const;

    QString m_folder;
    QString m_currentWhenLoaded;
    ViewStyle m_style = ViewStyle::List;
    bool m_showHidden = false;
    bool m_thumbnailsOn = false;
    bool m_watchSuspended = false;
    QImage m_texture;
    QColor m_textColour;
    // Black or white, whichever reads better on the texture.
    QColor m_textureTextColour;
    FolderListModel* m_model;
    QItemSelectionModel* m_selection;
    QStackedLayout* m_stack;
    QListView* m_iconView;
    QTreeView* m_detailsView;
    ListThumbnails* m_thumbnails = nullptr;
};
