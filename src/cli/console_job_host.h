#pragma once
// The JobHost of the command-line tool: counters and a progress bar on stderr
// (only when stderr is a terminal), one line per defective file on stdout,
// messages on stderr, and questions answered "no"/"abort" unless the user
// gave --yes.

#include "engine/collection_watcher.h"
#include "engine/defect_scan.h"
#include "engine/job_host.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPointer>

#include <cstdio>

class ConsoleJobHost : public JobHost, public DefectScanReporter {
public:
    ConsoleJobHost(AppSettings settings, bool assumeYes, bool showProgress);
    ~ConsoleJobHost() override;

    void setStartFolders(const QStringList& folders) { m_folders = folders; }
    void setFiles(const QStringList& files) { m_files = files; }
    QString text(const QString& control) const { return m_texts.value(control); }
    int failedTransfers() const { return m_failedTransfers; }

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

    // One line per defective file: stdout when it was copied or moved,
    // stderr when not.
    void noteDefectiveFile(const QString& from, const QString& to, bool done) override;
    // With printReasons: "path: why it is defective" on stdout before its line.
    void noteDefectReason(const QString& path, const QString& reason) override;
    void setPrintReasons(bool on) { m_printReasons = on; }

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
    bool m_assumeYes;
    bool m_showProgress;
    QHash<QString, QString> m_texts;
    int m_maximum = 0;
    int m_value = 0;
    int m_failedTransfers = 0;
    bool m_progressLineOpen = false;
    bool m_printReasons = false;
    QElapsedTimer m_sinceDraw;
    QObject m_context;
    QPointer<CollectionWatcher> m_watcher;
};

// SIGINT, SIGTERM and SIGHUP ask the running job to stop at its next stop
// test; a second one ends the program the usual way. SIGPIPE is ignored.
void InstallInterruptHandler(StopFlags& flags);
bool InterruptRequested();
