#include "jobs/index/thumbnails.h"

#include "i18n/own_texts.h"
#include "imaging/scale_to_fit.h"
#include "jobs/framework/picture_prefetch.h"
#include "jobs/index/index_series.h"

QString ThumbnailName(const QString& prefix, const QString& sourcePath, const QString& postfix) {
    const QString name = sourcePath.mid(sourcePath.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot < 0 ? QString() : name.mid(dot);
    return prefix + FileBaseName(sourcePath) + postfix + extension;
}

LoadedPicture LoadThumbnailPicture(const QString& sourcePath, int side) {
    LoadedPicture loaded;
    try {
        loaded.picture = LoadJpegScaledToFit(sourcePath, side);
        loaded.fit = {loaded.picture.width(), loaded.picture.height()};
    } catch (const std::exception& error) {
        loaded.picture = Picture();
        loaded.error = OwnText("index.skip.unreadable") + QStringLiteral(": ") +
                       QString::fromUtf8(error.what());
    }
    return loaded;
}

bool MakeThumbnail(const QString& sourcePath, const LoadedPicture& loaded, const QString& folder,
                   const QString& name, const SkipReport& skipped) {
    if (loaded.picture.isEmpty()) {
        skipped(sourcePath, loaded.error);
        return false;
    }
    QString reason;
    if (WriteResultJpeg(loaded.picture, folder + name, reason))
        return true;
    skipped(folder + name, reason);
    return false;
}
