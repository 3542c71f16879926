#include "common/recording_job_host.h"

#include "jobs/framework/job_controls.h"

#include <QCoreApplication>
#include <QDir>

RecordingJobHost::RecordingJobHost() {
    // Inside the sandbox TMPDIR, never created here: a test that forgets to
    // set its own working folder cannot write anywhere else.
    m_settings.Arbeitsverzeichnis = QDir::tempPath() + QStringLiteral("/recording-host-work/");
    m_settings.Protokolldatei = QStringLiteral("Protokoll.txt");
}

RecordingJobHost::~RecordingJobHost() {
    // The watcher's update writes into this object: it must be gone first.
    FinishWatcher(m_watcher);
}

bool RecordingJobHost::lockBalanced() const {
    QList<JobKind> open;
    for (const LockCall& call : m_lockCalls) {
        if (call.locked) {
            open.append(call.kind);
        } else {
            if (!open.removeOne(call.kind))
                return false;
        }
    }
    return open.isEmpty();
}

QStringList RecordingJobHost::skippedPaths() const {
    QStringList paths;
    for (const Skip& skip : m_skips)
        paths.append(skip.path);
    return paths;
}

void RecordingJobHost::processPendingMessages() {
    ++m_pendingCalls;
    QCoreApplication::processEvents();
    if (m_hook)
        m_hook(m_pendingCalls);
}

void RecordingJobHost::setBusyCursor(bool busy) {
    m_frameCalls.append(busy ? QStringLiteral("busy") : QStringLiteral("normal"));
    ++m_busyCalls;
    m_busyDepth += busy ? 1 : -1;
}

void RecordingJobHost::lockUi(JobKind kind) {
    m_lockCalls.append({true, kind});
    m_frameCalls.append(QStringLiteral("lock %1").arg(int(kind)));
}

void RecordingJobHost::unlockUi(JobKind kind) {
    m_lockCalls.append({false, kind});
    m_frameCalls.append(QStringLiteral("unlock %1").arg(int(kind)));
}

void RecordingJobHost::setText(const QString& control, const QString& text) {
    m_texts[control] = text;
    m_textHistory[control].append(text);
}

void RecordingJobHost::startWatcher(WatcherKind kind) {
    ++m_watchersStarted;
    m_frameCalls.append(QStringLiteral("watch"));
    if (!m_realWatchers)
        return;
    FinishWatcher(m_watcher); // at most one at a time
    const QString label = WatcherLabel(kind);
    m_watcher = StartCollectionWatcher(kind, &m_context, [this, label] {
        setText(label, QString::number(m_lists.AlteDateinamen.size()));
    });
}

void RecordingJobHost::stopWatcher() {
    ++m_watchersStopped;
    m_frameCalls.append(QStringLiteral("unwatch"));
    if (m_watcher)
        m_watcher->requestStop();
}

int RecordingJobHost::showMessage(const QString& text, MessageKind kind, DialogButtons buttons) {
    int answer = 2; // the close box
    if (!m_answers.empty()) {
        answer = m_answers.front();
        m_answers.pop_front();
    }
    m_messages.append({text, kind, buttons, answer});
    return answer;
}
