#pragma once
// THauptForm: the main window, a hub only. It builds the frame (menus,
// toolbar, the upper pages, the series tabs beside the progress panel), keeps
// the list of controllers, the window model (settings, hidden lists, stop
// flags), the job host, the locking while a job runs, the page rules and the
// language switch, and the few accessors the controllers share. Everything
// else is a controller's (feature_controller.h): the file browser, the
// pop-up preview, the window's commands and each job's page, registered in
// registerControllers(). The handlers keep their established names; each
// runs its body guarded.

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

    // Pushes the catalogue texts onto the window (also the chooser's OK).
    void ApplyLanguage();
    // --- file browser ------------------------------------------------------
    // What controllers and jobs share of the browser (browser_controller.h,
    // where the rest of it is).
    ShellFileList* fileList() const;
    QString currentTreeFolder() const;
    bool selectTreeFolder(const QString& folder);
    QString selectedFolder() const;
    QStringList selectedFiles() const;
    void refreshFileList();
    void folderTreeMayHaveChanged();
    void setFileFilter(const QString& filterText);

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

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void FormCreate();
    void FormClose();
    // The feature controllers, one line each; see feature_controller.h.
    void registerControllers();
    template <class C> void addController() { m_controllers.push_back(new C(*this)); }
    void buildControls();
    QWidget* buildSeriesTab(QWidget* parent);
    void connectHandlers();
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

    int m_lockDepth = 0;
    // The control that had the focus when a job locked the window (the
    // button that started it): it gets the focus back when the job ends.
    QPointer<QWidget> m_focusBeforeJob;
    bool m_closing = false;
    QPointer<CollectionWatcher> m_watcher;
};
