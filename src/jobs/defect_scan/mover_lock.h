#pragma once
// One mover per working folder. A move run of the defect scan and every undo
// hold an exclusive lock (flock) on a file in the folder of the move log for
// their whole duration, so that two of them never race over the log, its
// kept runs and the numbers in the defect folder; a second one is refused,
// never made to wait. Copy runs move nothing and take no lock. The lock file
// names its holder (process, host, start), so the refusal can say who it is.

#include "base/file_descriptor.h"

#include <QString>

class JobHost;
struct AppSettings;

class MoverLock {
public:
    enum class State {
        Held,        // this run holds the lock
        Busy,        // another run holds it
        Unavailable, // no lock file can exist there (folder missing or read-only)
    };

    // Tries once, without waiting, for the folder of `settings`' move log.
    static MoverLock acquire(const AppSettings& settings);
    // The same for a folder given directly (ends with "/").
    static MoverLock acquireIn(const QString& folder);

    // Holds nothing (a run that needs no lock).
    MoverLock() = default;
    MoverLock(MoverLock&&) noexcept = default;
    MoverLock& operator=(MoverLock&&) noexcept = default;

    State state() const { return m_state; }
    bool refused() const { return m_state == State::Busy; }

    // The message a refused run shows: the folder and who holds the lock, in
    // the current language.
    QString refusalText() const;

    // Gives the lock back now (it is given back at destruction too).
    void release() { m_fd.close(); }

private:
    State m_state = State::Unavailable;
    FileDescriptor m_fd;
    QString m_folder;
    QByteArray m_holder; // the lock file's content as the holder wrote it
};

// The lock file's name in the folder of the move log.
inline constexpr char kMoverLockName[] = ".kelvasto-mover.lock";

// Shows the refusal of `lock` through the host (the window's message dialog,
// the command line's stderr).
void ShowMoverRefusal(JobHost& host, const MoverLock& lock);
