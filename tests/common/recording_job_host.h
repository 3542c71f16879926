#pragma once
// A JobHost for engine tests: records every text, progress value and message,
// and answers questions as scripted.
//
//     RecordingJobHost host;
//     host.setSelectedFolder(tree + "/");
//     host.queueAnswer(DialogResult::OK);
//     host.onProcessPendingMessages([&](int call) {
//         if (call == 12)
//             host.stopFlags().JpegJobStop = 1;
//     });
//     ScanDefectiveJpegs(host, options, &host);
//     QCOMPARE(host.text(kDefectScanControls.progress.done), "10");
//
// It also records what the defect scan reports (DefectScanReporter), when
// passed as the scan's reporter.
//
// With real watchers on, startWatcher() starts the job's watcher thread whose
// update writes the count of AlteDateinamen into its label, and
// processPendingMessages() lets that update through.

#include "jobs/defect_scan/defect_scan.h"
#include "jobs/framework/collection_watcher.h"
#include "jobs/framework/job_host.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <deque>
#include <functional>

class RecordingJobHost : public JobHost, public DefectScanReporter {
public:
    struct Message {
        QString text;
        MessageKind kind;
        DialogButtons buttons;
        int answer;
    };
    struct LockCall {
        bool locked; // true lockUi, false unlockUi
        JobKind kind;
    };
    struct DefectNote {
        QString from;
        QString to;
        bool done;
        DefectTransfer outcome;
    };
    struct Skip {
        QString path;
        QString reason;
    };

    RecordingJobHost();
    ~RecordingJobHost() override;

    // --- set-up --------------------------------------------------------------
    void setSelectedFolder(const QString& folder) { m_selectedFolder = folder; }
    void setSelectedFiles(const QStringList& files) { m_selectedFiles = files; }
    // Answers for the next questions, in order; then the close box (2).
    void queueAnswer(int result) { m_answers.push_back(result); }
    // Called inside processPendingMessages with the 1-based call count.
    void onProcessPendingMessages(std::function<void(int)> hook) { m_hook = std::move(hook); }
    void setRealWatchers(bool on) { m_realWatchers = on; }

    // --- what happened -------------------------------------------------------
    QString text(const QString& control) const { return m_texts.value(control); }
    // Every text a control was given, in order.
    QStringList textHistory(const QString& control) const { return m_textHistory.value(control); }
    int progressMaximum(const QString& bar) const { return m_progressMax.value(bar, -1); }
    int progressValue(const QString& bar) const { return m_progressValue.value(bar, -1); }
    int progressPage() const { return m_progressPage; }
    const QList<Message>& messages() const { return m_messages; }
    const QList<LockCall>& lockCalls() const { return m_lockCalls; }
    // Busy-cursor calls: +1 for busy, -1 for normal; 0 when balanced.
    int busyDepth() const { return m_busyDepth; }
    int busyCalls() const { return m_busyCalls; }
    int refreshCount() const { return m_refreshCount; }
    int pendingMessageCalls() const { return m_pendingCalls; }
    int watchersStarted() const { return m_watchersStarted; }
    int watchersStopped() const { return m_watchersStopped; }
    bool watcherRunning() const { return m_watcher != nullptr && !m_watcher->isFinished(); }
    // prepareMoveUndo calls: the moveMode of each.
    const QList<bool>& undoPreparations() const { return m_undoPreparations; }
    const QList<DefectNote>& defectNotes() const { return m_defectNotes; }
    // True when every lockUi was matched by an unlockUi of the same kind.
    bool lockBalanced() const;
    // The frame's calls in order: "busy", "normal", "lock N", "unlock N",
    // "watch", "unwatch".
    const QStringList& frameCalls() const { return m_frameCalls; }
    // What reportSkipped was told, in order.
    const QList<Skip>& skips() const { return m_skips; }
    QStringList skippedPaths() const;
    // Every showSummary line, in order.
    const QStringList& summaries() const { return m_summaries; }
    // Open job reports: 0 once every beginJobReport was matched.
    int reportDepth() const { return m_reportDepth; }
    // Reports begun (outermost spans and nested ones alike).
    int reportsBegun() const { return m_reportsBegun; }

    // --- JobHost -------------------------------------------------------------
    AppSettings& settings() override { return m_settings; }
    BatchLists& lists() override { return m_lists; }
    StopFlags& stopFlags() override { return m_stop; }
    QString selectedFolder() const override { return m_selectedFolder; }
    QStringList selectedFiles() const override { return m_selectedFiles; }
    void refreshFileList() override { ++m_refreshCount; }
    void processPendingMessages() override;
    void setBusyCursor(bool busy) override;
    void lockUi(JobKind kind) override;
    void unlockUi(JobKind kind) override;
    void setText(const QString& control, const QString& text) override;
    void setProgressMaximum(const QString& bar, int maximum) override {
        m_progressMax[bar] = maximum;
    }
    void setProgressValue(const QString& bar, int value) override { m_progressValue[bar] = value; }
    void showProgressPage(int page) override { m_progressPage = page; }
    void startWatcher(WatcherKind kind) override;
    void stopWatcher() override;
    int showMessage(const QString& text, MessageKind kind, DialogButtons buttons) override;
    void reportSkipped(const QString& path, const QString& reason) override {
        m_skips.append({path, reason});
    }
    void beginJobReport() override {
        ++m_reportDepth;
        ++m_reportsBegun;
    }
    void endJobReport() override { --m_reportDepth; }
    void showSummary(const QString& line) override { m_summaries.append(line); }

    // --- DefectScanReporter --------------------------------------------------
    void prepareMoveUndo(bool moveMode) override { m_undoPreparations.append(moveMode); }
    void noteDefectiveFile(const QString& from, const QString& to,
                           DefectTransfer outcome) override {
        m_defectNotes.append({from, to, outcome == DefectTransfer::Done, outcome});
    }

private:
    AppSettings m_settings;
    BatchLists m_lists;
    StopFlags m_stop;
    QString m_selectedFolder;
    QStringList m_selectedFiles;
    std::deque<int> m_answers;
    std::function<void(int)> m_hook;
    bool m_realWatchers = false;

    QHash<QString, QString> m_texts;
    QHash<QString, QStringList> m_textHistory;
    QHash<QString, int> m_progressMax;
    QHash<QString, int> m_progressValue;
    int m_progressPage = -1;
    QList<Message> m_messages;
    QList<LockCall> m_lockCalls;
    int m_busyDepth = 0;
    int m_busyCalls = 0;
    int m_refreshCount = 0;
    int m_pendingCalls = 0;
    int m_watchersStarted = 0;
    int m_watchersStopped = 0;
    QList<bool> m_undoPreparations;
    QList<DefectNote> m_defectNotes;
    QStringList m_frameCalls;
    QList<Skip> m_skips;
    QStringList m_summaries;
    int m_reportDepth = 0;
    int m_reportsBegun = 0;

    QObject m_context; // the watcher's updates run on this (main) thread
    QPointer<CollectionWatcher> m_watcher;
};
