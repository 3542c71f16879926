#include "imaging/picture_files.h"

#include "base/errors.h"
#include "base/temporary_file.h"
#include "imaging/bmp_reader.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

[[noreturn]] void failFile(Failure failure, const char* what, const QString& path, int error = 0) {
    std::string message = std::string(what) + " " + QFile::encodeName(path).toStdString();
    if (error != 0)
        message += ": " + std::string(std::strerror(error));
    throw KelvastoError(message, failure, error);
}

// Far above any picture file the program can decode within its pixel limit.
constexpr qint64 kMaxPictureFileBytes = qint64{1} << 30;

// Only a regular file holds a picture. It is opened without blocking and read
// no further than its size when opened, so that a FIFO or a device under a
// picture's name (or behind a link to one) neither hangs nor floods the reader.
QByteArray readWholeFile(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        failFile(Failure::OpenFile, "cannot open", path, errno);
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        failFile(Failure::OpenFile, "cannot open", path);
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        failFile(Failure::ReadFile, "cannot read", path, errno);
    if (!S_ISREG(info.st_mode))
        failFile(Failure::NotRegularFile, "not a regular file:", path);
    if (info.st_size > kMaxPictureFileBytes)
        failFile(Failure::FileTooLarge, "file too large for a picture:", path);
    QByteArray bytes = file.read(info.st_size);
    if (file.error() != QFileDevice::NoError)
        failFile(Failure::ReadFile, "cannot read", path);
    return bytes;
}

// A temporary file beside the target; removed again unless committed.
class TempFileBeside {
public:
    explicit TempFileBeside(const QByteArray& target) : m_target(target) {
        // Hidden, in the target's folder so that the rename stays on one file
        // system; no job collects a name without a picture extension, and one
        // left by a kill is swept like the program's other temporary files.
        const qsizetype slash = target.lastIndexOf('/');
        FileDescriptor fd = CreateTemporaryFile(
            AT_FDCWD, slash < 0 ? QByteArray() : target.left(slash + 1), 0600, m_name);
        if (!fd.valid())
            failFile(Failure::WriteFile, "cannot create a file beside", QFile::decodeName(target),
                     errno);
        m_file = fdopen(fd.get(), "wb");
        if (m_file == nullptr) {
            const int error = errno;
            ::unlink(m_name.constData());
            failFile(Failure::WriteFile, "cannot write", QFile::decodeName(target), error);
        }
        (void)fd.release(); // the stream owns it now
    }
    ~TempFileBeside() {
        if (m_file != nullptr)
            std::fclose(m_file);
        if (!m_committed)
            ::unlink(m_name.constData());
    }
    TempFileBeside(const TempFileBeside&) = delete;
    TempFileBeside& operator=(const TempFileBeside&) = delete;

    std::FILE* stream() { return m_file; }

    // Flushes to the disk, sets `mode` and renames over the target.
    void commit(mode_t mode) {
        const QString target = QFile::decodeName(m_target);
        if (std::fflush(m_file) != 0 || fsync(fileno(m_file)) != 0)
            failFile(Failure::WriteFile, "cannot write", target, errno);
        if (fchmod(fileno(m_file), mode) != 0)
            failFile(Failure::WriteFile, "cannot set permissions of", target, errno);
        const int closed = std::fclose(m_file);
        m_file = nullptr;
        if (closed != 0)
            failFile(Failure::WriteFile, "cannot write", target, errno);
        if (std::rename(m_name.constData(), m_target.constData()) != 0)
            failFile(Failure::WriteFile, "cannot replace", target, errno);
        m_committed = true;
    }

private:
    QByteArray m_target;
    QByteArray m_name;
    std::FILE* m_file = nullptr;
    bool m_committed = false;
};

// The umask without changing it: setting it to 0 to read it, even briefly,
// would give files that other threads create meanwhile (parallel saves)
// world-writable permissions.
mode_t currentUmask() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
            if (!line.startsWith("Umask:"))
                continue;
            bool ok = false;
            const uint mask = line.mid(6).trimmed().toUInt(&ok, 8);
            if (ok)
                return mode_t(mask & 0777);
        }
    }
    // No /proc: read it the old way, once, while the first save starts.
    static const mode_t fallback = [] {
        const mode_t mask = umask(0);
        umask(mask);
        return mask;
    }();
    return fallback;
}

mode_t newFileMode() {
    return 0666 & ~currentUmask();
}

} // namespace

PictureFileKind PictureKind(const QString& path) {
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg"))
        return PictureFileKind::Jpeg;
    if (ext == QLatin1String("bmp"))
        return PictureFileKind::Bitmap;
    return PictureFileKind::None;
}

QByteArray ReadPictureFile(const QString& path) {
    return readWholeFile(path);
}

Picture LoadJpegFile(const QString& path, const JpegDecodeOptions& options) {
    return DecodeJpeg(readWholeFile(path), options);
}

Picture LoadBmpFile(const QString& path, CutOffBitmap cutOff) {
    return DecodeBmp(readWholeFile(path), cutOff);
}

Picture LoadPictureFile(const QString& path) {
    switch (PictureKind(path)) {
    case PictureFileKind::Jpeg:
        return LoadJpegFile(path);
    case PictureFileKind::Bitmap:
        return LoadBmpFile(path);
    case PictureFileKind::None:
        break;
    }
    failFile(Failure::Unspecified, "not a picture file:", path);
}

void SaveAsJpeg(const Picture& picture, const QString& path) {
    // Through a link, replace the file it points to, not the link.
    const QFileInfo info(path);
    const QString resolved = info.isSymLink() && info.exists() ? info.canonicalFilePath() : path;
    const QByteArray target = QFile::encodeName(resolved);
    mode_t mode = newFileMode();
    struct stat existing {};
    if (::stat(target.constData(), &existing) == 0) {
        if (!S_ISREG(existing.st_mode))
            failFile(Failure::NotRegularFile, "not a regular file:", resolved);
        // The owner's write bit counts too: root may write anything, but a
        // picture its owner made read-only is not to be replaced.
        if (::access(target.constData(), W_OK) != 0 || (existing.st_mode & S_IWUSR) == 0)
            failFile(Failure::WriteFile, "file is read-only:", resolved, EACCES);
        mode = existing.st_mode & 07777;
    }
    TempFileBeside temp(target);
    EncodeJpeg(picture, kJpegQuality, temp.stream());
    temp.commit(mode);
}
