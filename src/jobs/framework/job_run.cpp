#include "jobs/framework/job_run.h"

#include <exception>

namespace {
const QString kZero = QStringLiteral("0");
} // namespace

JobReport::~JobReport() {
    // The list is shown on the way out of an error as well; a failure to
    // show it must not replace that error.
    try {
        m_host.endJobReport();
    } catch (...) {
    }
}

JobRun::JobRun(JobHost& host, JobKind kind, const ProgressControls& progress,
               const QStringList& otherCounters)
    : m_report(host), m_host(host), m_kind(kind) {
    m_host.setBusyCursor(true);
    try {
        m_host.lockUi(kind);
    } catch (...) {
        m_host.setBusyCursor(false);
        throw;
    }
    // From here the destructor gives everything back.
    try {
        if (!progress.bar.isEmpty())
            m_host.setProgressValue(progress.bar, 0);
        if (!progress.done.isEmpty())
            m_host.setText(progress.done, kZero);
        for (const QString& counter : otherCounters)
            m_host.setText(counter, kZero);
    } catch (...) {
        try {
            end();
        } catch (...) {
        }
        throw;
    }
}

JobRun::~JobRun() {
    // A destructor must not throw, and a clean-up failing on the way out of
    // an error must not replace that error.
    try {
        end();
    } catch (...) {
    }
}

void JobRun::startWatcher(WatcherKind kind) {
    m_host.startWatcher(kind);
    m_watching = true;
}

void JobRun::stopWatcher() {
    if (!m_watching)
        return;
    m_watching = false;
    m_host.stopWatcher();
}

void JobRun::end() {
    if (m_ended)
        return;
    m_ended = true;
    // Each step is tried even when the one before failed: a window left
    // locked or an hourglass left spinning would outlive the job.
    std::exception_ptr failure;
    auto step = [&failure](auto&& action) {
        try {
            action();
        } catch (...) {
            if (!failure)
                failure = std::current_exception();
        }
    };
    step([this] { stopWatcher(); });
    step([this] { m_host.unlockUi(m_kind); });
    step([this] { m_host.setBusyCursor(false); });
    if (failure)
        std::rethrow_exception(failure);
}

FileLoop::FileLoop(JobHost& host, StopFlag flag, const ProgressControls& progress, qsizetype total,
                   StopAtStart atStart)
    : m_host(host), m_flag(flag), m_progress(progress) {
    if (!m_progress.bar.isEmpty())
        m_host.setProgressMaximum(m_progress.bar, int(total));
    if (atStart == StopAtStart::Clear)
        (m_host.stopFlags().*m_flag) = 0;
    if (!m_progress.total.isEmpty())
        m_host.setText(m_progress.total, QString::number(total));
}

bool FileLoop::next() {
    m_host.processPendingMessages();
    if ((m_host.stopFlags().*m_flag).load() == 1) {
        m_stopped = true;
        return false;
    }
    return true;
}

void FileLoop::advance() {
    ++m_done;
    if (!m_progress.bar.isEmpty())
        m_host.setProgressValue(m_progress.bar, m_done);
    if (!m_progress.done.isEmpty())
        m_host.setText(m_progress.done, QString::number(m_done));
}
