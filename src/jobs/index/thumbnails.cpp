#include "jobs/index/thumbnails.h"

#include "i18n/failure_texts.h"
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
        loaded.error = FailureText(error);
    }
    return loaded;
}

bool MakeThumbnail(const QString& sourcePath, const LoadedPicture& loaded, const QString& folder,
                   const QString& name, ResultFiles& results) {
    if (loaded.picture.isEmpty()) {
        results.passOver(sourcePath, loaded.error);
        return false;
    }
    return results.write(loaded.picture, folder + name);
}
