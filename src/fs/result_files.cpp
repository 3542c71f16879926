#include "fs/result_files.h"

#include "base/errors.h"
#include "fs/file_name_bytes.h"
#include "fs/file_ops.h"
#include "fs/path_utils.h"
#include "i18n/failure_texts.h"
#include "i18n/own_texts.h"
#include "imaging/jpeg_codec.h"
#include "imaging/picture_files.h"
#include "jobs/framework/job_host.h"

#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

// The encoded picture in memory: encoding first means a failure there leaves
// an existing file where it is instead of in the trash.
QByteArray encodeJpeg(const Picture& picture) {
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* stream = open_memstream(&buffer, &size);
    if (stream == nullptr)
        throw KelvastoError("cannot encode JPEG: out of memory");
    try {
        EncodeJpeg(picture, kJpegQuality, stream);
    } catch (...) {
        std::fclose(stream);
        std::free(buffer);
        throw;
    }
    const bool flushed = std::fclose(stream) == 0;
    QByteArray bytes = flushed ? QByteArray(buffer, static_cast<qsizetype>(size)) : QByteArray();
    std::free(buffer);
    if (!flushed)
        throw KelvastoError("cannot encode JPEG: out of memory");
    return bytes;
}

// Whatever holds the name must go before the result can take it. A file its
// owner made read-only, or anything but a regular file or a link, stays.
bool clearTheName(const QString& path, QString& reason) {
    const QByteArray encoded = QFile::encodeName(path);
    struct stat existing {};
    if (::lstat(encoded.constData(), &existing) != 0)
        return true;
    if (!S_ISREG(existing.st_mode) && !S_ISLNK(existing.st_mode)) {
        reason = OwnText("index.skip.taken");
        return false;
    }
    if (S_ISREG(existing.st_mode) &&
        (::access(encoded.constData(), W_OK) != 0 || (existing.st_mode & S_IWUSR) == 0)) {
        reason = OwnText("index.skip.readonly");
        return false;
    }
    if (!RecycleFile(path)) {
        reason = OwnText("index.skip.trash");
        return false;
    }
    return true;
}

} // namespace

bool WriteResultJpeg(const Picture& picture, const QString& path, QString& reason) {
    QByteArray bytes;
    try {
        bytes = encodeJpeg(picture);
    } catch (const KelvastoError& error) {
        reason = OwnText("reason.with_cause").arg(OwnText("index.skip.write"), FailureText(error));
        return false;
    }
    if (!clearTheName(path, reason))
        return false;
    if (!ReplaceFileAtomically(path, bytes)) {
        reason = OwnText("index.skip.write");
        return false;
    }
    return true;
}

bool ResultFiles::write(const Picture& picture, const QString& path) {
    QString reason;
    if (m_names.contains(path)) {
        reason = OwnText("result.skip.same_run");
    } else if (WriteResultJpeg(picture, path, reason)) {
        m_names.insert(path);
        m_folders.insert(path.left(path.lastIndexOf(QLatin1Char('/')) + 1));
        ++m_written;
        return true;
    }
    passOver(path, reason);
    return false;
}

void ResultFiles::passOver(const QString& path, const QString& reason) {
    ++m_skipped;
    m_host.reportSkipped(path, reason);
}

QString ResultFiles::where() const {
    if (m_folders.size() == 1)
        return ReadableName(*m_folders.cbegin());
    return OwnText("summary.folders").arg(m_folders.size());
}
