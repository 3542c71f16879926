#include "imaging/thumbnail_cache.h"

#include "base/errors.h"
#include "imaging/bmp_reader.h"
#include "imaging/jpeg_codec.h"
#include "imaging/picture_files.h"
#include "imaging/qimage_convert.h"
#include "imaging/scale_to_fit.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>
#include <QUrl>

#include <sys/stat.h>

namespace {

const char* const kUriKey = "Thumb::URI";
const char* const kMTimeKey = "Thumb::MTime";
const QString kFailFolder = QStringLiteral("fail/kelvasto-" KELVASTO_VERSION_TEXT "/");

// The file's modification time in whole seconds, as the cache stores it;
// empty when the file cannot be looked at.
QString modificationTime(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return QString::number(static_cast<long long>(info.st_mtime));
}

QString hashedName(const QString& path) {
    return QString::fromLatin1(
               QCryptographicHash::hash(ThumbnailUri(path), QCryptographicHash::Md5).toHex()) +
           QStringLiteral(".png");
}

// An entry is current when it names this picture and its present mtime.
QImage readCurrentEntry(const QString& entry, const QString& path, const QString& mtime) {
    QImage image;
    if (!QFileInfo::exists(entry) || !image.load(entry, "png"))
        return {};
    if (image.text(QString::fromLatin1(kUriKey)).toUtf8() != ThumbnailUri(path) ||
        image.text(QString::fromLatin1(kMTimeKey)) != mtime)
        return {};
    return image;
}

// Written to a temporary file beside the entry and renamed over it, readable
// by the user only, as the cache's rules ask.
bool writeEntry(const QString& entry, QImage image, const QString& path, const QString& mtime) {
    if (!QDir().mkpath(QFileInfo(entry).path()))
        return false;
    QFile::setPermissions(QFileInfo(entry).path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    image.setText(QString::fromLatin1(kUriKey), QString::fromUtf8(ThumbnailUri(path)));
    image.setText(QString::fromLatin1(kMTimeKey), mtime);
    image.setText(QStringLiteral("Software"), QStringLiteral("Kelvasto " KELVASTO_VERSION_TEXT));
    QSaveFile file(entry);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QImageWriter writer(&file, "png");
    return writer.write(image) && file.commit();
}

Picture decodeFitting(const QString& path, int edge) {
    if (PictureKind(path) == PictureFileKind::Jpeg) {
        const QByteArray data = ReadPictureFile(path);
        const JpegSize size = ReadJpegSize(data);
        if (size.width <= edge && size.height <= edge)
            return DecodeJpeg(data);
        return DecodeJpegAtSize(data, ScaledFitSize(size.width, size.height, edge, edge));
    }
    Picture picture = LoadPictureFile(path);
    if (picture.width() > edge || picture.height() > edge)
        ScaleToFit(picture, edge, edge);
    return picture;
}

} // namespace

int ThumbnailEdge(ThumbnailFlavour flavour) {
    return flavour == ThumbnailFlavour::Large ? 256 : 128;
}

QString ThumbnailCacheRoot() {
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.cache");
    return QDir::cleanPath(base) + QStringLiteral("/thumbnails/");
}

QByteArray ThumbnailUri(const QString& path) {
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded();
}

QString ThumbnailCachePath(const QString& path, ThumbnailFlavour flavour) {
    const QString folder =
        flavour == ThumbnailFlavour::Large ? QStringLiteral("large/") : QStringLiteral("normal/");
    return ThumbnailCacheRoot() + folder + hashedName(path);
}

QString ThumbnailFailPath(const QString& path) {
    return ThumbnailCacheRoot() + kFailFolder + hashedName(path);
}

CachedThumbnail FindCachedThumbnail(const QString& path, ThumbnailFlavour flavour) {
    const QString mtime = modificationTime(path);
    if (mtime.isEmpty())
        return {};
    CachedThumbnail cached;
    cached.image = readCurrentEntry(ThumbnailCachePath(path, flavour), path, mtime);
    if (cached.image.isNull())
        cached.failed = !readCurrentEntry(ThumbnailFailPath(path), path, mtime).isNull();
    return cached;
}

QImage ThumbnailFor(const QString& path, ThumbnailFlavour flavour) {
    const CachedThumbnail cached = FindCachedThumbnail(path, flavour);
    if (!cached.image.isNull() || cached.failed)
        return cached.image;
    const QString mtime = modificationTime(path);
    if (mtime.isEmpty())
        return {};
    try {
        const QImage image = ToQImage(decodeFitting(path, ThumbnailEdge(flavour)));
        // A cache that cannot be written still gives the picture this time.
        writeEntry(ThumbnailCachePath(path, flavour), image, path, mtime);
        return image;
    } catch (const KelvastoError&) {
        QImage mark(1, 1, QImage::Format_ARGB32);
        mark.fill(Qt::transparent);
        writeEntry(ThumbnailFailPath(path), mark, path, mtime);
        return {};
    }
}
