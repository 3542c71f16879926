#pragma once
// The groups a search found, as file names: each group's names, keeper
// first, then an empty string, the way the command line prints them.

#include "jobs/similar/find_similar.h"

#include <QStringList>

inline QStringList GroupNames(const SimilarSearchResult& result) {
    QStringList names;
    for (const SimilarGroup& group : result.groups) {
        for (const SimilarPicture& picture : group)
            names.append(picture.path.section(QLatin1Char('/'), -1));
        names.append(QString());
    }
    return names;
}
