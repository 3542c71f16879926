#include "common/recording_job_host.h"

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

void RecordingJobHost::processPendingMessages() {
    ++m_pendingCalls;
    QCoreApplication::processEvents();
    if (m_hook)
        m_hook(m_pendingCalls);
}

void RecordingJobHost::setBusyCursor(bool busy) {
    ++m_busyCalls;
    m_busyDepth += busy ? 1 : -1;
}

void RecordingJobHost::setText(const QString& control, const QString& text) {
    m_texts[control] = text;
    m_textHistory[control].append(text);
}

QString RecordingJobHost::watcherLabel(WatcherKind kind) {
    switch (kind) {
    case WatcherKind::DefekteJPEGs:
        return QStringLiteral("Label_DDS05");
    case WatcherKind::JPEGVerkleinern:
        return QStringLiteral("Label_DV06");
    case WatcherKind::FortschrittDuplikate:
        return QStringLiteral("Label_Dup02");
    }
    return {};
}

void RecordingJobHost::startWatcher(WatcherKind kind) {
    ++m_watchersStarted;
    if (!m_realWatchers)
        return;
    FinishWatcher(m_watcher); // at most one at a time
    const QString label = watcherLabel(kind);
    auto update = [this, label] { setText(label, QString::number(m_lists.AlteDateinamen.size())); };
    switch (kind) {
    case WatcherKind::DefekteJPEGs:
        m_watcher = new TDefekteJPEGs(&m_context, update);
        break;
    case WatcherKind::JPEGVerkleinern:
        m_watcher = new TJPEGVerkleinern(&m_context, update);
        break;
    case WatcherKind::FortschrittDuplikate:
        m_watcher = new TFortschrittDuplikate(&m_context, update);
        break;
    }
}

void RecordingJobHost::stopWatcher() {
    ++m_watchersStopped;
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
