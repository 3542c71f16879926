#pragma once
// The JobHost of the command-line tool: counters and a progress bar on stderr
// (only when stderr is a terminal), messages and every skipped entry on
// stderr, and questions answered "no"/"abort" unless the user gave --yes.
// What one job alone prints (the defect scan's records) is that job's own
// reporter, in its file under jobs/.

#include "jobs/framework/collection_watcher.h"
#include "jobs/framework/job_host.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPointer>

struct ConsoleOptions {
    bool assumeYes = false;    // --yes
    bool showProgress = false; // stderr is a terminal
};

class ConsoleJobHost : public JobHost {
public:
    ConsoleJobHost(AppSettings settings, const ConsoleOptions& options);
    ~ConsoleJobHost() override;

    void setStartFolders(const QStringList& folders) { m_folders = folders; }
    void setFiles(const QStringList& files) { m_files = files; }
    QString text(const QString& control) const { return m_texts.value(control); }
    // Entries named by reportSkipped.
    int skipped() const { return m_skipped; }

    AppSettings& settings() override { return m_settings; }
    BatchLists& lists() override { return m_lists; }
    StopFlags& stopFlags() override { return m_stop; }
    QString selectedFolder() const override { return m_folders.value(0); }
    QStringList selectedFiles() const override { return m_files; }
    void refreshFileList() override {}
    void processPendingMessages() override;
    void setBusyCursor(bool) override {}
    void lockUi(JobKind) override {}
    void unlockUi(JobKind) override {}
    void setText(const QString& control, const QString& text) override;
    void setProgressMaximum(const QString& bar, int maximum) override;
    void setProgressValue(const QString& bar, int value) override;
    void startWatcher(WatcherKind kind) override;
    void stopWatcher() override;
    int showMessage(const QString& text, MessageKind kind, DialogButtons buttons) override;
    void reportSkipped(const QString& path, const QString& reason) override;

    // Ends the progress line so that the next output starts on a fresh line.
    void endProgressLine();

private:
    void drawProgress(bool force);
    void drawStatus(const QString& status);

    AppSettings m_settings;
    BatchLists m_lists;
    StopFlags m_stop;
    QStringList m_folders;
    QStringList m_files;
    ConsoleOptions m_options;
    QHash<QString, QString> m_texts;
    int m_maximum = 0;
    int m_value = 0;
    int m_skipped = 0;
    bool m_progressLineOpen = false;
    bool m_collecting = false; // a watcher is running
    QElapsedTimer m_sinceDraw;
    QObject m_context;
    QPointer<CollectionWatcher> m_watcher;
};

// SIGINT, SIGTERM and SIGHUP ask the running job to stop at its next stop
// test; a second one ends the program the usual way. SIGPIPE is ignored.
void InstallInterruptHandler(StopFlags& flags);
bool InterruptRequested();
