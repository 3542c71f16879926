#pragma once
// A JobHost that does nothing but let events through, so a benchmark measures
// the job's own work.

#include "jobs/framework/job_host.h"

#include <QCoreApplication>

class BenchJobHost : public JobHost {
public:
    AppSettings& settings() override { return m_settings; }
    BatchLists& lists() override { return m_lists; }
    StopFlags& stopFlags() override { return m_stop; }
    QString selectedFolder() const override { return m_folder; }
    QStringList selectedFiles() const override { return {}; }
    void refreshFileList() override {}
    void processPendingMessages() override { QCoreApplication::processEvents(); }
    void setBusyCursor(bool) override {}
    void lockUi(JobKind) override {}
    void unlockUi(JobKind) override {}
    void setText(const QString&, const QString&) override {}
    void setProgressMaximum(const QString&, int) override {}
    void setProgressValue(const QString&, int) override {}
    void startWatcher(WatcherKind) override {}
    void stopWatcher() override {}
    int showMessage(const QString&, MessageKind, DialogButtons) override { return 1; }

    void setSelectedFolder(const QString& folder) { m_folder = folder; }

private:
    AppSettings m_settings;
    BatchLists m_lists;
    StopFlags m_stop;
    QString m_folder;
};
