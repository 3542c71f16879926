#pragma once
// Series of files for index sheets named by series: a run of neighbours of the
// list (sorted case-insensitively by full path) in the same folder whose names
// agree, either in everything but their digits ("alle Buchstaben gleich") or in
// their first N characters ("Anfangszeichen gleich"). Letter case counts in
// both, and under the first rule the extension counts too, so Urlaub1.jpg and
// Urlaub2.JPG are no series. A file whose name gives no series name (digits
// only, or shorter than N) is passed over.

#include "jobs/index/index_number_options.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

enum class SeriesRule {
    AllLetters, // IdxSRadioButton01
    FirstChars, // IdxSRadioButton02 with N from IdxUpDown04
};

struct SeriesOptions {
    SeriesRule rule = SeriesRule::AllLetters;
    int firstChars = kSeriesFirstChars.fallback;
};

struct FileSeries {
    QString name;      // SeriesName
    QStringList files; // at least one
    int end = 0;       // index after the series: the files handled so far
};

// The file name without its folder and without its extension (from the last
// ".").
QString FileBaseName(const QString& path);
// The folder part of a path, with its trailing "/".
QString FileFolder(const QString& path);

// The next series starting at `start` in `sorted`, passing over files that
// name none; nullopt when no file is left. `start` moves past the series.
std::optional<FileSeries> NextSeries(const QStringList& sorted, int& start,
                                     const SeriesOptions& options);

// Every series of the list in order, as a run that starts a new series only
// while at least two files remain: the last file alone is never examined.
QList<FileSeries> FindSeries(const QStringList& sorted, const SeriesOptions& options);

// The work list sorted case-insensitively by full path (ties in byte order).
QStringList SortedForSeries(const QStringList& files);
