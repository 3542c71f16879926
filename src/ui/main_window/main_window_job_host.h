#pragma once
// The JobHost of the main window: what a job needs, on the window's real
// controls.

#include "jobs/framework/job_host.h"
#include "ui/dialogs/skipped_entries_dialog.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

#include <memory>

class CounterDisplay;
class THauptForm;

class MainWindowJobHost : public JobHost {
public:
    explicit MainWindowJobHost(THauptForm& window);
    ~MainWindowJobHost() override;

    AppSettings& settings() override;
    BatchLists& lists() override;
    StopFlags& stopFlags() override;
    QString selectedFolder() const override;
    QStringList selectedFiles() const override;
    bool selectedFilesChecked() const override;
    void refreshFileList() override;
    void processPendingMessages() override;
    void setBusyCursor(bool busy) override;
    void lockUi(JobKind kind) override;
    void unlockUi(JobKind kind) override;
    void setText(const QString& control, const QString& text) override;
    void setProgressMaximum(const QString& bar, int maximum) override;
    void setProgressValue(const QString& bar, int value) override;
    void showProgressPage(int page) override;
    void startWatcher(WatcherKind kind) override;
    void stopWatcher() override;
    int showMessage(const QString& text, MessageKind kind, DialogButtons buttons) override;
    // Gathered while a job runs and listed in one dialog at its end; an
    // entry reported outside a job is listed at once.
    void reportSkipped(const QString& path, const QString& reason) override;
    void beginJobReport() override;
    void endJobReport() override;
    // Into the status bar's summary field, until the next job starts.
    void showSummary(const QString& line) override;

private:
    // Jobs update their counters once per file; the controls are looked up
    // by name once, not by searching the whole window every time. A name
    // the window lacks throws (THauptForm::control).
    QWidget* namedControl(const QString& name);

    THauptForm& m_window;
    QHash<QString, QPointer<QWidget>> m_controls;
    std::unique_ptr<CounterDisplay> m_counters;
    int m_busyDepth = 0;
    int m_reportDepth = 0;
    QList<SkippedEntry> m_skipped;
};
