#include "jobs/similar/find_similar.h"

#include "base/errors.h"
#include "base/scope_exit.h"
#include "fs/file_collection.h"
#include "fs/path_utils.h"
#include "i18n/own_texts.h"
#include "imaging/jpeg_codec.h"
#include "jobs/framework/job_controls.h"
#include "jobs/framework/job_host.h"
#include "jobs/framework/job_run.h"
#include "base/threads/ordered_work_ahead.h"
#include "jobs/similar/fingerprint_cache.h"
#include "jobs/similar/picture_data_digest.h"
#include "jobs/similar/picture_fingerprint.h"
#include "jobs/similar/picture_source.h"
#include "jobs/similar/similarity_groups.h"

#include <QHash>

#include <algorithm>
#include <memory>
#include <numeric>
#include <optional>
#include <vector>

namespace {

const SimilarControls& kControls = kSimilarControls;

// Pictures checked ahead of the one taken: enough to keep both cores busy
// behind a slow file, few enough that their bytes stay small.
constexpr int kWorkWindow = 8;
// The cache is asked file by file before the checking; the window lets
// messages through this often meanwhile.
constexpr int kLookupsPerMessage = 256;

// What checking one picture gave.
struct Checked {
    PictureFingerprint fingerprint;
    QByteArray digest;
    PictureFileKey key;
    bool fromCache = false;
    bool computed = false; // anew: to be stored
    QString problem;       // set when the picture is left out
};

bool stopRequested(JobHost& host) {
    return host.stopFlags().BatchJobStop.load() == 1;
}

QStringList collect(JobHost& host, const SimilarSearchOptions& options) {
    QStringList& list = host.lists().AlteDateinamen;
    list.clear();
    for (const QString& folder : options.startFolders)
        if (!folder.isEmpty())
            CollectJpegFilesRecursive(host, list, AddTrailingBackslash(folder));
    list.append(options.files);
    return list;
}

Checked checkFile(const QString& path, bool samePicture) {
    Checked checked;
    PictureFileBytes file;
    try {
        file = ReadPictureFileWithKey(path);
    } catch (const KelvastoError& error) {
        checked.problem = OwnText("similar.skip.unreadable").arg(QString::fromUtf8(error.what()));
        return checked;
    }
    checked.key = file.key;
    checked.computed = true;
    if (samePicture) {
        checked.digest = PictureDataDigest(file.bytes);
        if (checked.digest.isEmpty())
            checked.problem = OwnText("similar.skip.structure");
        // The size in pixels shows with the result and orders the group.
        try {
            const JpegSize size = ReadJpegSize(file.bytes);
            checked.fingerprint.width = size.width;
            checked.fingerprint.height = size.height;
        } catch (const KelvastoError& error) {
            checked.problem =
                OwnText("similar.skip.undecodable").arg(QString::fromUtf8(error.what()));
        }
        return checked;
    }
    try {
        checked.fingerprint = FingerprintJpeg(file.bytes);
    } catch (const KelvastoError& error) {
        checked.problem = OwnText("similar.skip.undecodable").arg(QString::fromUtf8(error.what()));
    }
    return checked;
}

// The cached results of the files unchanged since they were stored.
std::vector<std::optional<Checked>> lookUpCache(JobHost& host, FingerprintCache& cache,
                                                const QStringList& files, bool samePicture) {
    std::vector<std::optional<Checked>> cached(std::size_t(files.size()));
    if (!cache.isOpen())
        return cached;
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (i % kLookupsPerMessage == 0) {
            host.processPendingMessages();
            if (stopRequested(host))
                break;
        }
        const std::optional<PictureFileKey> key = PictureFileKeyOf(files.at(i));
        if (!key)
            continue; // the checking names why
        Checked checked;
        checked.key = *key;
        checked.fromCache = true;
        if (samePicture) {
            checked.digest = cache.pictureDigest(files.at(i), *key, checked.fingerprint);
            if (checked.digest.isEmpty())
                continue;
        } else {
            const std::optional<PictureFingerprint> fingerprint =
                cache.fingerprint(files.at(i), *key);
            if (!fingerprint)
                continue;
            checked.fingerprint = *fingerprint;
        }
        cached[std::size_t(i)] = checked;
    }
    return cached;
}

void store(FingerprintCache& cache, const QString& path, const Checked& checked, bool samePicture) {
    if (!checked.computed || !checked.problem.isEmpty())
        return;
    if (!samePicture)
        cache.storeFingerprint(path, checked.key, checked.fingerprint);
    else
        cache.storeDigest(path, checked.key, checked.digest, checked.fingerprint.width,
                          checked.fingerprint.height);
}

struct CheckedPicture {
    SimilarPicture picture;
    PictureFingerprint fingerprint;
    QByteArray digest;
};

SimilarPicture describe(const QString& path, const Checked& checked) {
    return {path,
            checked.fingerprint.width,
            checked.fingerprint.height,
            checked.key.size,
            checked.key.modifiedNs,
            checked.key.inode};
}

std::vector<int> keeperOrder(const std::vector<CheckedPicture>& pictures) {
    std::vector<int> order(pictures.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return KeeperBefore(pictures[std::size_t(a)].picture, pictures[std::size_t(b)].picture);
    });
    return order;
}

std::vector<std::vector<int>> groupByDigest(const std::vector<CheckedPicture>& pictures,
                                            const std::vector<int>& order) {
    QHash<QByteArray, std::size_t> groupOf;
    std::vector<std::vector<int>> groups;
    for (const int index : order) {
        const QByteArray& digest = pictures[std::size_t(index)].digest;
        const auto found = groupOf.constFind(digest);
        if (found == groupOf.constEnd()) {
            groupOf.insert(digest, groups.size());
            groups.push_back({index});
        } else {
            groups[*found].push_back(index);
        }
    }
    std::erase_if(groups, [](const std::vector<int>& group) { return group.size() < 2; });
    return groups;
}

QList<SimilarGroup> groupPictures(const std::vector<CheckedPicture>& pictures, int threshold,
                                  bool samePicture) {
    const std::vector<int> order = keeperOrder(pictures);
    std::vector<std::vector<int>> groups;
    if (samePicture) {
        groups = groupByDigest(pictures, order);
    } else {
        std::vector<PictureFingerprint> fingerprints;
        fingerprints.reserve(pictures.size());
        for (const CheckedPicture& picture : pictures)
            fingerprints.push_back(picture.fingerprint);
        groups = GroupByDistance(fingerprints, order, threshold);
    }
    QList<SimilarGroup> result;
    result.reserve(qsizetype(groups.size()));
    for (const std::vector<int>& group : groups) {
        SimilarGroup members;
        for (const int index : group)
            members.append(pictures[std::size_t(index)].picture);
        result.append(members);
    }
    return result;
}

} // namespace

bool KeeperBefore(const SimilarPicture& a, const SimilarPicture& b) {
    const qint64 pixelsA = qint64(a.width) * a.height, pixelsB = qint64(b.width) * b.height;
    if (pixelsA != pixelsB)
        return pixelsA > pixelsB;
    return a.bytes > b.bytes;
}

SimilarSearchResult SearchSimilarPictures(JobHost& host, const SimilarSearchOptions& options) {
    JobRun run(host, JobKind::SimilarSearch, kControls.progress, {kControls.groupsFound});
    host.stopFlags().BatchJobStop = 0;
    host.showProgressPage(kSimilarPage);
    ScopeExit logoPage([&] { host.showProgressPage(kLogoPage); });

    SimilarSearchResult result;
    run.startWatcher(WatcherKind::AehnlicheBilder);
    const QStringList files = collect(host, options);
    run.stopWatcher();
    result.collected = int(files.size());
    FileLoop loop(host, &StopFlags::BatchJobStop, kControls.progress, files.size(),
                  FileLoop::StopAtStart::Keep);
    if (files.isEmpty())
        return result;

    std::optional<FingerprintCache> cache;
    if (!options.cacheFile.isEmpty())
        cache.emplace(options.cacheFile);
    std::vector<std::optional<Checked>> cached =
        cache ? lookUpCache(host, *cache, files, options.samePicture)
              : std::vector<std::optional<Checked>>(std::size_t(files.size()));

    std::vector<CheckedPicture> pictures;
    pictures.reserve(std::size_t(files.size()));
    {
        OrderedWorkAhead<Checked> ahead(
            int(files.size()), kWorkWindow, options.threads, [&](int index) {
                const std::optional<Checked>& known = cached[std::size_t(index)];
                return known ? *known : checkFile(files.at(index), options.samePicture);
            });
        for (qsizetype i = 0; i < files.size(); ++i) {
            if (!loop.next())
                break;
            const Checked checked = ahead.take(int(i));
            if (!checked.problem.isEmpty()) {
                host.reportSkipped(files.at(i), checked.problem);
                ++result.skipped;
            } else {
                ++result.checked;
                result.fromCache += checked.fromCache ? 1 : 0;
                if (cache)
                    store(*cache, files.at(i), checked, options.samePicture);
                pictures.push_back(
                    {describe(files.at(i), checked), checked.fingerprint, checked.digest});
            }
            loop.advance();
        }
    }
    result.stopped = loop.stopped();
    if (cache)
        cache->flush();
    result.groups = groupPictures(pictures, options.threshold, options.samePicture);
    host.setText(kControls.groupsFound, QString::number(result.groups.size()));
    return result;
}
