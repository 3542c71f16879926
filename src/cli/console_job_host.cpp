#include "cli/console_job_host.h"

#include "cli/batch_job.h"
#include "cli/standard_streams.h"
#include "i18n/own_texts.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>

namespace {

volatile std::sig_atomic_t g_interrupted = 0;
StopFlags* g_flags = nullptr;

extern "C" void onInterrupt(int) {
    g_interrupted = 1;
    // Lock-free atomics may be stored from a signal handler.
    if (g_flags) {
        g_flags->JpegJobStop.store(1);
        g_flags->BatchJobStop.store(1);
    }
}

constexpr int kBarWidth = 30;
constexpr int kRedrawMs = 100;

} // namespace

void InstallInterruptHandler(StopFlags& flags) {
    g_flags = &flags;
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
    // A closed pipe on stdout (`... | head`) must not kill a move run before
    // its log is written; the writes then simply fail.
    ::signal(SIGPIPE, SIG_IGN);
}

bool InterruptRequested() {
    return g_interrupted != 0;
}

ConsoleJobHost::ConsoleJobHost(AppSettings settings, const ConsoleOptions& options)
    : m_settings(std::move(settings)), m_options(options) {
    m_sinceDraw.start();
}

ConsoleJobHost::~ConsoleJobHost() {
    FinishWatcher(m_watcher);
    endProgressLine();
}

void ConsoleJobHost::processPendingMessages() {
    // A console has no window messages; the only thing ever pending is the
    // collection watcher's hand-over. Asking the event dispatcher anyway
    // would cost a poll per file, so only a running watcher gets its turn.
    if (m_collecting)
        QCoreApplication::processEvents();
    // A job clears its stop flag after collecting; an interrupt that came
    // earlier must still stop it at its first stop test.
    if (InterruptRequested()) {
        m_stop.JpegJobStop = 1;
        m_stop.BatchJobStop = 1;
    }
}

void ConsoleJobHost::setText(const QString& control, const QString& text) {
    m_texts[control] = text;
}

void ConsoleJobHost::setProgressMaximum(const QString&, int maximum) {
    m_maximum = maximum;
    drawProgress(true);
}

void ConsoleJobHost::setProgressValue(const QString&, int value) {
    m_value = value;
    drawProgress(value == m_maximum);
}

void ConsoleJobHost::drawProgress(bool force) {
    if (!m_options.showProgress || m_maximum <= 0)
        return;
    if (!force && m_sinceDraw.elapsed() < kRedrawMs)
        return;
    const int filled = int(qint64(kBarWidth) * m_value / m_maximum);
    const QString bar =
        QString(filled, QLatin1Char('#')) + QString(kBarWidth - filled, QLatin1Char('-'));
    drawStatus(QStringLiteral("[%1] %2/%3").arg(bar).arg(m_value).arg(m_maximum));
}

void ConsoleJobHost::drawStatus(const QString& status) {
    m_sinceDraw.restart();
    const QByteArray bytes = "\r\033[K" + status.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
    m_progressLineOpen = true;
}

void ConsoleJobHost::endProgressLine() {
    if (!m_progressLineOpen)
        return;
    std::fputc('\n', stderr);
    std::fflush(stderr);
    m_progressLineOpen = false;
}

void ConsoleJobHost::startWatcher(WatcherKind) {
    if (!m_options.showProgress)
        return;
    FinishWatcher(m_watcher);
    m_collecting = true;
    m_watcher = new CollectionWatcher(&m_context, [this] {
        drawStatus(OwnText("cli.collecting").arg(m_lists.AlteDateinamen.size()));
    });
}

void ConsoleJobHost::stopWatcher() {
    // Wait here: the console has no event loop that would run a late update
    // after the job has moved on to its own counters.
    FinishWatcher(m_watcher);
    m_collecting = false;
}

int ConsoleJobHost::showMessage(const QString& text, MessageKind kind, DialogButtons buttons) {
    endProgressLine();
    WriteStandardError(text.toUtf8() + '\n');
    const bool question = kind == MessageKind::Warning || kind == MessageKind::Confirmation ||
                          HasButton(buttons, DialogButton::Abort) ||
                          HasButton(buttons, DialogButton::No);
    if (!question || m_options.assumeYes) {
        if (HasButton(buttons, DialogButton::Yes))
            return DialogResult::Yes;
        if (HasButton(buttons, DialogButton::OK))
            return DialogResult::OK;
    }
    if (HasButton(buttons, DialogButton::No))
        return DialogResult::No;
    if (HasButton(buttons, DialogButton::Abort))
        return DialogResult::Abort;
    return DialogResult::Cancel;
}

void ConsoleJobHost::reportSkipped(const QString& path, const QString& reason) {
    endProgressLine();
    ++m_skipped;
    PrintSkipped(path, reason);
}
