#pragma once
// Helpers for the tests of what the engine leaves out or leaves behind: the
// host that records reportSkipped, trees deeper than the system's path limit
// (built by descriptors, since no path call reaches their bottom), and
// temporary files as a killed run leaves them.

#include "base/file_descriptor.h"
#include "common/recording_job_host.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QProcess>
#include <QString>

#include <climits>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fixtures {

// RecordingJobHost records every reportSkipped; the name says what a test
// looks at.
using SkipRecordingHost = RecordingJobHost;

// A chain of `levels` folders with names of `nameLength` characters below
// `root`, so that its bottom lies further down than PATH_MAX. Removed with
// everything in it when it goes out of scope.
class DeepFolder {
public:
    DeepFolder(const QString& root, int levels, int nameLength) : m_root(root) {
        FileDescriptor folder(::open(QFile::encodeName(root).constData(), O_RDONLY | O_DIRECTORY));
        m_path = root;
        for (int level = 0; level < levels && folder.valid(); ++level) {
            const QByteArray name = QByteArray::number(level).rightJustified(nameLength, 'd', true);
            if (level == 0)
                m_first = name;
            ::mkdirat(folder.get(), name.constData(), 0700);
            folder.reset(::openat(folder.get(), name.constData(), O_RDONLY | O_DIRECTORY));
            m_path += QString::fromLatin1(name) + QLatin1Char('/');
        }
        m_bottom = std::move(folder);
    }
    // rm walks a tree of any depth without running out of descriptors.
    ~DeepFolder() {
        QProcess::execute(QStringLiteral("rm"),
                          {QStringLiteral("-rf"), m_root + QString::fromLatin1(m_first)});
    }
    DeepFolder(const DeepFolder&) = delete;
    DeepFolder& operator=(const DeepFolder&) = delete;

    bool valid() const { return m_bottom.valid() && m_path.size() > PATH_MAX; }
    // The bottom folder's full path, with a trailing "/".
    QString path() const { return m_path; }
    bool write(const QString& name, const QByteArray& bytes) const {
        FileDescriptor file(::openat(m_bottom.get(), QFile::encodeName(name).constData(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644));
        return file.valid() && ::write(file.get(), bytes.constData(), size_t(bytes.size())) ==
                                   ssize_t(bytes.size());
    }
    bool exists(const QString& name) const {
        struct stat info {};
        return ::fstatat(m_bottom.get(), QFile::encodeName(name).constData(), &info,
                         AT_SYMLINK_NOFOLLOW) == 0;
    }

private:
    QString m_root;
    QString m_path;
    QByteArray m_first;
    FileDescriptor m_bottom;
};

// A temporary file as a run killed while writing it leaves it: part of the
// data, unlocked. With `held` it stays locked (a writer still at work) for
// as long as the returned descriptor lives.
inline FileDescriptor leaveTemporary(const QString& path, const QByteArray& bytes, bool held) {
    FileDescriptor file(
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL, 0600));
    if (file.valid())
        (void)!::write(file.get(), bytes.constData(), size_t(bytes.size()));
    if (held && file.valid())
        ::flock(file.get(), LOCK_EX);
    if (!held)
        file.close();
    return file;
}

} // namespace fixtures
