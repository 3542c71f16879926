#pragma once
// The similar-picture search: the same photograph saved again at another
// size or quality, lightly cropped, brightened or turned grey, among the JPEG
// files of folder trees or of a list of files.
//
// Every picture gets a fingerprint (picture_fingerprint.h), computed ahead on
// every core and taken in list order, or read from the per-user cache when
// the file is unchanged since it was made (fingerprint_cache.h). The pictures
// are then walked in keeper order (most pixels, then the larger file, then
// list order): the first one not yet in a group founds one, and every other
// within the threshold of it joins (similarity_groups.h). So each group
// starts with the picture worth keeping, and no chain of small differences
// merges unrelated photographs.
//
// The same-picture mode groups instead the files whose picture data are
// byte-identical while their metadata differ (picture_data_digest.h).
//
// A file that cannot be read, or is no picture, goes to
// JobHost::reportSkipped with its reason; the search goes on.
//
//     SimilarSearchOptions options;
//     options.startFolders = {window().selectedFolder()};
//     options.cacheFile = FingerprintCache::defaultFile();
//     const SimilarSearchResult result = SearchSimilarPictures(host, options);

#include "base/number_option.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

class JobHost;

// Chosen on photographs with variants (bench/similar): every variant kind
// of the benchmark within it, unrelated photographs well outside it.
inline constexpr NumberOption kSimilarityThreshold{
    "threshold", "N", "SpinEditSimSchwelle", "cli.similar.threshold", 0, 20, 1, 10};
inline constexpr int kDefaultSimilarityThreshold = kSimilarityThreshold.fallback;

struct SimilarSearchOptions {
    QStringList startFolders; // their whole trees ...
    QStringList files;        // ... and these files
    int threshold = kDefaultSimilarityThreshold;
    bool samePicture = false; // byte-identical picture data instead of fingerprints
    QString cacheFile;        // empty: no cache
    int threads = 0;          // 0: one per core
};

struct SimilarPicture {
    QString path;
    int width = 0;
    int height = 0;
    qint64 bytes = 0;
    qint64 modifiedNs = 0; // modification time, nanoseconds since the epoch
    quint64 inode = 0;     // with size and time: whether the file is still the one read
};

using SimilarGroup = QList<SimilarPicture>;

struct SimilarSearchResult {
    int collected = 0;          // JPEG files collected
    int checked = 0;            // of them fingerprinted (or digested), from the cache or anew
    int fromCache = 0;          // of them taken from the cache
    int skipped = 0;            // named through reportSkipped
    bool stopped = false;       // BatchJobStop ended the checking early
    QList<SimilarGroup> groups; // each keeper first
};

// The keeper order: more pixels first, then the larger file; true when `a`
// goes before `b`. Equal pictures keep their order.
bool KeeperBefore(const SimilarPicture& a, const SimilarPicture& b);

// What the search button and `kelvasto-batch similar` run: busy cursor, the
// window locked, BatchJobStop cleared, progress page 5 with its counters,
// the collection, the checking (stop after any file: the pictures checked so
// far are still grouped), the grouping, then page 0 and the window back.
SimilarSearchResult SearchSimilarPictures(JobHost& host, const SimilarSearchOptions& options);
