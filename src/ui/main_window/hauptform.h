#pragma once
// THauptForm: the main window. It is the hub: the file browser, the page
// rules, the menus and the toolbar, the locking while a job runs, the job host
// and the language switch, and the window model (settings, hidden lists,
// navigation state). Each feature page is built and handled by its own
// controller (feature_controller.h), registered in registerControllers().
// The handlers keep their established names; each runs its body guarded.

#include "imaging/imaging_context.h"
#include "jobs/framework/job_host.h"
#include "settings/app_settings.h"
#include "ui/dialogs/help_window.h"
#include "ui/file_list/shell_file_list.h"
#include "ui/language/language_chooser.h"

#include "jobs/framework/collection_watcher.h"

#include <QDialog>
#include <QImage>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>
#include <typeinfo>
#include <vector>

class FeatureController;
class MainWindowJobHost;
class FolderTreeModel;
class QTreeView;

class THauptForm : public QMainWindow {
    Q_OBJECT
public:
    using SettingsSource = std::function<AppSettings()>;
    // Reads the store with the platform defaults.
    static SettingsSource StoredSettings();

    explicit THauptForm(SettingsSource source = StoredSettings(), QWidget* parent = nullptr);
    ~THauptForm() override;

    // --- window model ------------------------------------------------------
    AppSettings& settings() { return m_settings; }
    BatchLists& lists() { return m_lists; }
    StopFlags& stopFlags() { return m_stopFlags; }
    JobHost& jobHost();
    // The work bitmaps of the picture effects and the editor's undo copy.
    ImagingContext& imaging() { return *m_imaging; }

    const QString& treeFolder() const { return m_treeFolder; }
    const QStringList& listMasks() const { return m_listMasks; }
    const QImage& texturePicture() const { return m_texturePicture; }
    // Puts a new picture behind the file list (null: ordinary background).
    void setTexturePicture(const QImage& picture);

    // Pushes the catalogue texts onto the window (also the chooser's OK).
    void ApplyLanguage();
    // --- file browser ------------------------------------------------------
    ShellFileList* fileList() const { return m_fileList; }
    QTreeView* folderTree() const { return m_tree; }
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

    // --- batch frame -------------------------------------------------------
    void LockUiForJob(JobKind kind);
    void UnlockUiAfterJob(JobKind kind);
    bool jobRunning() const { return m_lockDepth > 0; }
    // True once the window has been closed: a job still running stops at
    // its next stop test and asks nothing more.
    bool closing() const { return m_closing; }
    void showProgressPage(int page);
    // Starts the watcher of a job; it refreshes its label with the count of
    // AlteDateinamen until stopWatcher.
    void startWatcher(WatcherKind kind);
    void stopWatcher();
    // Stops a running watcher and keeps processing events until it ended.
    void finishWatcher();
    // Shows or hides, enables or disables a job's menu entry and its pop-up
    // twin ("HMenu_" and "PM01_" + suffix).
    void setJobEntriesVisible(const QStringList& suffixes, bool visible);
    void setJobEntryEnabled(const QString& suffix, bool enabled);

    // The child control of that name and class. A name the window does not
    // have is a programming error: it throws, naming the control, rather
    // than handing back a null pointer.
    template <class T> T* control(const QString& name) const {
        T* found = findChild<T*>(name);
        if (!found)
            ThrowMissingControl(name, T::staticMetaObject.className());
        return found;
    }
    [[noreturn]] static void ThrowMissingControl(const QString& name, const char* className);

    // The registered controller of that class; throws when there is none.
    template <class C> C& controller() const {
        for (FeatureController* each : m_controllers)
            if (auto* found = dynamic_cast<C*>(each))
                return *found;
        ThrowMissingControl(QStringLiteral("controller"), typeid(C).name());
    }

    // The smallest size the window can be dragged to: the design's, or what
    // its pages need at the desktop's font size.
    static constexpr QSize kMinimumWindowSize{800, 565};
    void LimitWindowSize();

public slots:
    void PageControl01Change(int tab);
    void HauptPageControl01Change(int tab);
    void GrafikPageControl01Change(int tab);
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
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormClose();
    // The feature controllers, one line each; see feature_controller.h.
    void registerControllers();
    template <class C> void addController() { m_controllers.push_back(new C(*this)); }
    void buildControls();
    QWidget* buildSeriesTab(QWidget* parent);
    QWidget* buildBrowserPage(QWidget* parent);
    void createTreeModel();
    // A fresh tree model that keeps the opened folders and the selected one
    // (or, when that is gone, its nearest ancestor still there).
    void refreshFolderTree();
    QStringList expandedTreeFolders() const;
    void connectHandlers();
    void ShellListView01HinterGrund();
    void switchView(ViewStyle style);
    void setLocked(JobKind kind, bool locked);
    // The main menus: disabled while locked, and when none of their
    // entries is visible.
    void enableMenus(bool locked);

    SettingsSource m_source;
    AppSettings m_settings;
    BatchLists m_lists;
    StopFlags m_stopFlags;
    std::unique_ptr<MainWindowJobHost> m_jobHost;
    std::unique_ptr<ImagingContext> m_imaging;
    // Owned as child objects of the window.
    std::vector<FeatureController*> m_controllers;

    QString m_treeFolder;
    QStringList m_listMasks;
    QImage m_texturePicture;
    int m_lockDepth = 0;
    // The control that had the focus when a job locked the window (the
    // button that started it): it gets the focus back when the job ends.
    QPointer<QWidget> m_focusBeforeJob;
    bool m_closing = false;
    bool m_treeFollowsCurrent = false;
    bool m_treeStale = false;

    FolderTreeModel* m_treeModel = nullptr;
    QTreeView* m_tree = nullptr;
    ShellFileList* m_fileList = nullptr;
    QPointer<CollectionWatcher> m_watcher;
};
