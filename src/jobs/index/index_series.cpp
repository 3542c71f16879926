#include "jobs/index/index_series.h"

#include "fs/path_utils.h"

#include <algorithm>

namespace {

QString fileName(const QString& path) {
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

// The name a series started by this file gets; empty when it starts none.
QString seriesNameOf(const QString& path, const SeriesOptions& options) {
    const QString base = FileBaseName(path);
    if (options.rule == SeriesRule::AllLetters)
        return StripDigits(base);
    return base.size() < options.firstChars ? QString() : base.left(options.firstChars);
}

bool belongs(const QString& candidate, const QString& first, const SeriesOptions& options) {
    if (FileFolder(candidate) != FileFolder(first))
        return false;
    if (options.rule == SeriesRule::AllLetters)
        return StripDigits(fileName(candidate)) == StripDigits(fileName(first));
    const QString base = FileBaseName(candidate);
    return base.size() >= options.firstChars &&
           base.left(options.firstChars) == FileBaseName(first).left(options.firstChars);
}

} // namespace

QString FileBaseName(const QString& path) {
    const QString name = fileName(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

QString FileFolder(const QString& path) {
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

std::optional<FileSeries> NextSeries(const QStringList& sorted, int& start,
                                     const SeriesOptions& options) {
    const int n = static_cast<int>(sorted.size());
    FileSeries series;
    while (start < n) {
        series.name = seriesNameOf(sorted.at(start), options);
        if (!series.name.isEmpty())
            break;
        ++start;
    }
    if (start >= n)
        return std::nullopt;
    const QString& first = sorted.at(start);
    int j = start;
    while (j < n && belongs(sorted.at(j), first, options))
        series.files.append(sorted.at(j++));
    start = j;
    series.end = j;
    return series;
}

QList<FileSeries> FindSeries(const QStringList& sorted, const SeriesOptions& options) {
    QList<FileSeries> all;
    const int n = static_cast<int>(sorted.size());
    int start = 0;
    do {
        std::optional<FileSeries> series = NextSeries(sorted, start, options);
        if (!series)
            break;
        all.append(std::move(*series));
    } while (start < n - 1);
    return all;
}

QStringList SortedForSeries(const QStringList& files) {
    QStringList sorted = files;
    std::stable_sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    return sorted;
}
