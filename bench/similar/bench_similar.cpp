// The similar-picture search's parts on their own:
//
//   bench_similar distances DIR
//       fingerprints every NNN-KIND.jpg of a set made by make_set.sh and
//       prints, per variant kind, the distances to its original, and for
//       the unrelated pairs how many lie at or below each threshold
//   bench_similar group N THRESHOLD
//       groups N synthetic fingerprints (random ones, and every tenth with
//       two near copies): seconds and peak memory
//   bench_similar fingerprint FILE...
//       the fingerprint time per file, best of three

#include "common/timing.h"
#include "jobs/similar/find_similar.h"
#include "jobs/similar/picture_fingerprint.h"
#include "jobs/similar/picture_source.h"
#include "jobs/similar/similarity_groups.h"

#include <QCoreApplication>
#include <QDir>
#include <QMap>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

namespace {

long peakRssMib() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

int distances(const QString& dir) {
    const QStringList names =
        QDir(dir).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name);
    QMap<QString, QMap<QString, PictureFingerprint>> byPicture; // NNN -> kind -> fingerprint
    for (const QString& name : names) {
        const QString number = name.section(QLatin1Char('-'), 0, 0);
        const QString kind = name.section(QLatin1Char('-'), 1).section(QLatin1Char('.'), 0, 0);
        byPicture[number][kind] =
            FingerprintJpeg(ReadPictureFileWithKey(dir + QLatin1Char('/') + name).bytes);
    }
    QMap<QString, std::vector<int>> perKind;
    for (const auto& kinds : byPicture)
        for (auto it = kinds.begin(); it != kinds.end(); ++it)
            if (it.key() != QLatin1String("orig") && kinds.contains(QStringLiteral("orig")))
                perKind[it.key()].push_back(
                    PictureDistance(kinds.value(QStringLiteral("orig")), it.value()));
    for (auto it = perKind.begin(); it != perKind.end(); ++it) {
        std::vector<int> d = it.value();
        std::sort(d.begin(), d.end());
        const auto over = std::count_if(d.begin(), d.end(),
                                        [](int x) { return x > kDefaultSimilarityThreshold; });
        std::printf("%-8s n=%zu median=%d p95=%d max=%d beyond the default threshold: %td\n",
                    qPrintable(it.key()), d.size(), d[d.size() / 2], d[d.size() * 95 / 100],
                    d.back(), over);
    }
    std::vector<PictureFingerprint> all;
    std::vector<QString> owner;
    for (auto it = byPicture.begin(); it != byPicture.end(); ++it)
        for (const PictureFingerprint& fingerprint : it.value()) {
            all.push_back(fingerprint);
            owner.push_back(it.key());
        }
    std::vector<long> atMost(kFingerprintBits + 1, 0);
    long pairs = 0;
    for (std::size_t i = 0; i < all.size(); ++i)
        for (std::size_t j = i + 1; j < all.size(); ++j)
            if (owner[i] != owner[j]) {
                ++pairs;
                ++atMost[std::size_t(PictureDistance(all[i], all[j]))];
            }
    long sum = 0;
    std::printf("unrelated pairs: %ld; at or below distance:", pairs);
    for (int t = 0; t <= 20; ++t) {
        sum += atMost[std::size_t(t)];
        std::printf(" %d:%ld", t, sum);
    }
    std::printf("\n");
    return 0;
}

int group(int count, int threshold) {
    std::mt19937_64 random(2024);
    // Unrelated pictures' codes are random; a centre code differs from its
    // whole in some bits, a copy's in a few.
    const auto near = [&](std::uint64_t code, int flips) {
        for (int f = 0; f < flips; ++f)
            code ^= std::uint64_t{1} << (random() % 64);
        return code;
    };
    std::vector<PictureFingerprint> codes;
    codes.reserve(std::size_t(count));
    while (int(codes.size()) < count) {
        const std::uint64_t code = random();
        codes.push_back({code, near(code, 10), 4000, 3000});
        if (codes.size() % 10 == 0)
            for (int copy = 0; copy < 2 && int(codes.size()) < count; ++copy)
                codes.push_back({near(code, 2), near(code, 10), 2000, 1500});
    }
    std::vector<int> order(codes.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::size_t groups = 0;
    const double seconds =
        bestSeconds(1, [&] { groups = GroupByDistance(codes, order, threshold).size(); });
    std::printf("grouped %d fingerprints at threshold %d: %.2f s, %zu groups, peak %ld MiB\n",
                count, threshold, seconds, groups, peakRssMib());
    return 0;
}

int fingerprint(const QStringList& files) {
    for (const QString& file : files) {
        const QByteArray bytes = ReadPictureFileWithKey(file).bytes;
        const double seconds = bestSeconds(3, [&] { (void)FingerprintJpeg(bytes); });
        std::printf("%8.2f ms  %s\n", seconds * 1000, qPrintable(file));
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 2 && args[0] == QLatin1String("distances"))
        return distances(args[1]);
    if (args.size() == 3 && args[0] == QLatin1String("group"))
        return group(args[1].toInt(), args[2].toInt());
    if (args.size() >= 2 && args[0] == QLatin1String("fingerprint"))
        return fingerprint(args.mid(1));
    std::fprintf(stderr, "usage: bench_similar distances DIR | group N THRESHOLD | "
                         "fingerprint FILE...\n");
    return 2;
}
