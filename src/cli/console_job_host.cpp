#include "cli/console_job_host.h"

#include "cli/standard_streams.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <csignal>

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

void writeLine(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit() + '\n';
    if (stream == stdout)
        WriteStandardOutput(bytes);
    else
        WriteStandardError(bytes);
}

QString nativePath(const QString& path) {
    // Paths are printed with the file system's bytes, as a shell shows them.
    return QString::fromLocal8Bit(QFile::encodeName(path));
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

ConsoleJobHost::ConsoleJobHost(AppSettings settings, bool assumeYes, bool showProgress)
    : m_settings(std::move(settings)), m_assumeYes(assumeYes), m_showProgress(showProgress) {
    m_sinceDraw.start();
}

ConsoleJobHost::~ConsoleJobHost() {
    FinishWatcher(m_watcher);
    endProgressLine();
}

void ConsoleJobHost::processPendingMessages() {
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
    if (!m_showProgress || m_maximum <= 0)
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
    const QByteArray bytes = "\r\033[K" + status.toLocal8Bit();
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
    if (!m_showProgress)
        return;
    FinishWatcher(m_watcher);
    m_watcher = new CollectionWatcher(&m_context, [this] {
        drawStatus(QStringLiteral("collecting: %1").arg(m_lists.AlteDateinamen.size()));
    });
}

void ConsoleJobHost::stopWatcher() {
    // Wait here: the console has no event loop that would run a late update
    // after the job has moved on to its own counters.
    FinishWatcher(m_watcher);
}

int ConsoleJobHost::showMessage(const QString& text, MessageKind kind, DialogButtons buttons) {
    endProgressLine();
    writeLine(stderr, text);
    const bool question = kind == MessageKind::Warning || kind == MessageKind::Confirmation ||
                          HasButton(buttons, DialogButton::Abort) ||
                          HasButton(buttons, DialogButton::No);
    if (!question || m_assumeYes) {
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

void ConsoleJobHost::noteDefectReason(const QString& path, const QString& reason) {
    if (!m_printReasons)
        return;
    endProgressLine();
    writeLine(stdout, nativePath(path) + QStringLiteral(": ") + reason);
}

void ConsoleJobHost::noteDefectiveFile(const QString& from, const QString& to, bool done) {
    endProgressLine();
    if (done) {
        writeLine(stdout, nativePath(from) + QStringLiteral(" -> ") + nativePath(to));
        return;
    }
    // A file of that name from an earlier run is kept, as the job intends
    // (copying twice keeps the first copies); anything else is a failure
    // the exit status reports.
    if (QFileInfo::exists(to)) {
        writeLine(stderr, QStringLiteral("kelvasto-batch: defective, left in place: %1 exists: %2")
                              .arg(nativePath(to), nativePath(from)));
        return;
    }
    ++m_failedTransfers;
    writeLine(stderr, QStringLiteral("kelvasto-batch: defective, but not copied or moved to %1: %2")
                          .arg(nativePath(to), nativePath(from)));
}
