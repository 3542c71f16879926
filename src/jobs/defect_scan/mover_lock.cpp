#include "jobs/defect_scan/mover_lock.h"

#include "fs/path_utils.h"
#include "i18n/own_texts.h"
#include "jobs/framework/job_host.h"
#include "settings/app_settings.h"

#include <QDateTime>
#include <QFile>
#include <QSysInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

constexpr qsizetype kHolderLimit = 4096;

FileDescriptor openLockFile(const QByteArray& path) {
    FileDescriptor fd(::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644));
    // A read-only folder may still hold the lock file; flock needs no write
    // access, and a holder that could not write its name is still a holder.
    if (!fd.valid() && (errno == EACCES || errno == EROFS || errno == EPERM))
        fd.reset(::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    return fd;
}

QByteArray readHolder(int fd) {
    QByteArray bytes(kHolderLimit, Qt::Uninitialized);
    ssize_t got;
    do {
        got = ::pread(fd, bytes.data(), size_t(bytes.size()), 0);
    } while (got < 0 && errno == EINTR);
    bytes.resize(got > 0 ? got : 0);
    return bytes;
}

void writeHolder(int fd) {
    const QByteArray line = QByteArray::number(qint64(::getpid())) + ' ' +
                            QSysInfo::machineHostName().toUtf8() + ' ' +
                            QDateTime::currentDateTime().toString(Qt::ISODate).toUtf8() + '\n';
    // Best effort: the name of the holder only serves the refusal message.
    if (::ftruncate(fd, 0) == 0)
        (void)!::pwrite(fd, line.constData(), size_t(line.size()), 0);
}

} // namespace

MoverLock MoverLock::acquire(const AppSettings& settings) {
    return acquireIn(FolderOf(ProtocolFilePath(settings)));
}

MoverLock MoverLock::acquireIn(const QString& folder) {
    MoverLock lock;
    lock.m_folder = folder;
    if (folder.isEmpty())
        return lock;
    lock.m_fd = openLockFile(QFile::encodeName(folder + QLatin1String(kMoverLockName)));
    if (!lock.m_fd.valid())
        return lock; // nothing can be logged there either
    int locked;
    do {
        locked = ::flock(lock.m_fd.get(), LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked == 0) {
        lock.m_state = State::Held;
        writeHolder(lock.m_fd.get());
        return lock;
    }
    if (errno == EWOULDBLOCK) {
        lock.m_state = State::Busy;
        lock.m_holder = readHolder(lock.m_fd.get());
    }
    lock.m_fd.close();
    return lock;
}

QString MoverLock::refusalText() const {
    // "pid host start": a holder that has not yet written its line, or one
    // of another kind, is still named as another run.
    const QList<QByteArray> fields = m_holder.trimmed().split(' ');
    QString holder = OwnText("mover.holder.unknown");
    if (fields.size() == 3) {
        const QDateTime started =
            QDateTime::fromString(QString::fromUtf8(fields.at(2)), Qt::ISODate);
        holder = OwnText("mover.holder")
                     .arg(QString::fromUtf8(fields.at(0)), QString::fromUtf8(fields.at(1)),
                          started.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    }
    return OwnText("mover.busy").arg(m_folder, holder);
}

void ShowMoverRefusal(JobHost& host, const MoverLock& lock) {
    host.showMessage(lock.refusalText(), MessageKind::Information, ButtonBit(DialogButton::OK));
}
