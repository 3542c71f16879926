#include "ui/main_window/main_window_job_host.h"

#include "i18n/catalogue.h"
#include "ui/dialogs/message_dialog.h"
#include "ui/main_window/counter_display.h"
#include "ui/main_window/hauptform.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>

#include <utility>

MainWindowJobHost::MainWindowJobHost(THauptForm& window)
    : m_window(window), m_counters(std::make_unique<CounterDisplay>()) {}

MainWindowJobHost::~MainWindowJobHost() {
    // A job that ended by an error must not leave the hourglass behind.
    while (m_busyDepth > 0)
        setBusyCursor(false);
}

AppSettings& MainWindowJobHost::settings() {
    return m_window.settings();
}
BatchLists& MainWindowJobHost::lists() {
    return m_window.lists();
}
StopFlags& MainWindowJobHost::stopFlags() {
    return m_window.stopFlags();
}
QString MainWindowJobHost::selectedFolder() const {
    return m_window.selectedFolder();
}
QStringList MainWindowJobHost::selectedFiles() const {
    return m_window.selectedFiles();
}
bool MainWindowJobHost::selectedFilesChecked() const {
    return m_window.fileList()->listingIsCurrent();
}
void MainWindowJobHost::refreshFileList() {
    m_counters->flush();
    m_window.refreshFileList();
    // Every job that makes or removes folders asks for the list at its end.
    m_window.folderTreeMayHaveChanged();
}
void MainWindowJobHost::processPendingMessages() {
    QCoreApplication::processEvents();
    // After the window closed, a job must not go on unseen to the end of its
    // list; it clears its own flag once, so the request is renewed here.
    if (m_window.closing()) {
        m_window.stopFlags().JpegJobStop = 1;
        m_window.stopFlags().BatchJobStop = 1;
    }
}

void MainWindowJobHost::setBusyCursor(bool busy) {
    // Kept balanced, so a second "normal" never pops a cursor someone else set.
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++m_busyDepth;
    } else if (m_busyDepth > 0) {
        QApplication::restoreOverrideCursor();
        --m_busyDepth;
    }
}

void MainWindowJobHost::lockUi(JobKind kind) {
    m_counters->flush();
    m_window.fileList()->suspendWatching();
    m_window.LockUiForJob(kind);
}
void MainWindowJobHost::unlockUi(JobKind kind) {
    // The last counts of a job are on screen when the window is free again.
    m_counters->flush();
    m_window.UnlockUiAfterJob(kind);
    m_window.fileList()->resumeWatching();
}

QWidget* MainWindowJobHost::namedControl(const QString& name) {
    QPointer<QWidget>& cached = m_controls[name];
    if (!cached)
        cached = m_window.control<QWidget>(name);
    return cached;
}

void MainWindowJobHost::setText(const QString& control, const QString& text) {
    m_counters->setText(namedControl(control), text);
}

void MainWindowJobHost::setProgressMaximum(const QString& bar, int maximum) {
    m_counters->flush();
    if (auto* progress = qobject_cast<QProgressBar*>(namedControl(bar)))
        progress->setMaximum(maximum);
}

void MainWindowJobHost::setProgressValue(const QString& bar, int value) {
    m_counters->setProgressValue(namedControl(bar), value);
}

void MainWindowJobHost::showProgressPage(int page) {
    m_counters->flush();
    m_window.showProgressPage(page);
}
void MainWindowJobHost::startWatcher(WatcherKind kind) {
    m_window.startWatcher(kind);
}
void MainWindowJobHost::stopWatcher() {
    m_window.stopWatcher();
}

int MainWindowJobHost::showMessage(const QString& text, MessageKind kind, DialogButtons buttons) {
    m_counters->flush();
    // No message after the window has gone; a question counts as closed by
    // its close box.
    if (m_window.closing())
        return DialogResult::Cancel;
    return ShowMessageDialog(text, kind, buttons, CurrentLanguageName());
}

void MainWindowJobHost::reportSkipped(const QString& path, const QString& reason) {
    beginJobReport();
    m_skipped.append({path, reason});
    endJobReport();
}

void MainWindowJobHost::beginJobReport() {
    if (m_reportDepth++ == 0 && m_skipped.isEmpty())
        showSummary(QString()); // the last job's line does not describe this one
}

void MainWindowJobHost::endJobReport() {
    if (m_reportDepth == 0 || --m_reportDepth > 0 || m_skipped.isEmpty())
        return;
    const QList<SkippedEntry> entries = std::exchange(m_skipped, {});
    m_counters->flush();
    if (!m_window.closing())
        ShowSkippedEntriesDialog(entries, CurrentLanguageName());
}

void MainWindowJobHost::showSummary(const QString& line) {
    m_window.control<QLabel>(QStringLiteral("HauptStatusSummary"))->setText(line);
}
