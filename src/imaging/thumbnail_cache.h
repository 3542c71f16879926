#pragma once
// The freedesktop.org thumbnail cache that file managers share:
// $XDG_CACHE_HOME/thumbnails/normal (128 pixels) and large (256 pixels), one
// PNG per picture, named by the MD5 of the picture's file URI and carrying
// Thumb::URI and Thumb::MTime. An entry whose Thumb::MTime differs from the
// file's is stale and made again; a picture that cannot be read gets an entry
// in fail/kelvasto-<version>/ so it is not tried on every visit. Whatever
// program made a current entry, it is used as it is.

#include <QByteArray>
#include <QImage>
#include <QString>

enum class ThumbnailFlavour { Normal, Large };

// 128 or 256: the longer side of a thumbnail of that flavour.
int ThumbnailEdge(ThumbnailFlavour flavour);

// $XDG_CACHE_HOME/thumbnails/ (or ~/.cache/thumbnails/), with "/".
QString ThumbnailCacheRoot();

// The picture's absolute path as a percent-encoded file:// URI.
QByteArray ThumbnailUri(const QString& path);

// Where the cache keeps the thumbnail, and the fail entry, of the picture.
QString ThumbnailCachePath(const QString& path, ThumbnailFlavour flavour);
QString ThumbnailFailPath(const QString& path);

struct CachedThumbnail {
    QImage image;        // a current thumbnail, else null
    bool failed = false; // a current fail entry: do not try again
};

// What the cache holds for the picture as it is now; never decodes it.
CachedThumbnail FindCachedThumbnail(const QString& path, ThumbnailFlavour flavour);

// The cached thumbnail, or one made now (DCT-scaled decoding and area
// averaging) and written to the cache. A picture that cannot be read or
// decoded gets a fail entry and a null image. Safe on any thread.
QImage ThumbnailFor(const QString& path, ThumbnailFlavour flavour);
