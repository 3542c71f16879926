#pragma once
// Small helpers for tests of jobs and the file layer: trees of real files in
// a temporary folder under the sandbox TMPDIR, and JPEG-like files of a given
// size that are sound or cut off.

#include "common/jpeg_builder.h"
#include "common/test_env.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <csignal>

#include <sys/resource.h>

namespace fixtures {

// `size` bytes (at least 4) that end with the end-of-image marker.
inline QByteArray soundJpeg(int size = 300) {
    return JpegBuilder().soi().scanData(size - 4).eoi().bytes();
}

// `size` bytes with a start marker and no end marker anywhere.
inline QByteArray truncatedJpeg(int size = 300) {
    return JpegBuilder().soi().scanData(size - 2).bytes();
}

// A temporary tree; paths are given relative to its root.
class Tree {
public:
    Tree() : m_dir(QDir::tempPath() + QStringLiteral("/engine-XXXXXX")) {}
    bool valid() const { return m_dir.isValid(); }
    // The root with a trailing "/".
    QString root() const { return m_dir.path() + QLatin1Char('/'); }
    QString path(const QString& relative) const { return root() + relative; }
    bool file(const QString& relative, const QByteArray& bytes) {
        return testing::writeFile(path(relative), bytes);
    }
    bool folder(const QString& relative) { return QDir().mkpath(path(relative)); }
    // A named pipe: a name that is no file to read.
    bool fifo(const QString& relative) {
        return ::mkfifo(QFile::encodeName(path(relative)).constData(), 0600) == 0;
    }
    bool exists(const QString& relative) const { return QFileInfo::exists(path(relative)); }
    QByteArray read(const QString& relative) const { return testing::readFile(path(relative)); }
    // Names (not paths) of the files directly in a folder, sorted.
    QStringList names(const QString& relative) const {
        return QDir(path(relative)).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

private:
    QTemporaryDir m_dir;
};

// A full disk as far as this process can tell: while it lives, writes that
// would make a file larger than `bytes` fail (short, then with EFBIG).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

} // namespace fixtures
