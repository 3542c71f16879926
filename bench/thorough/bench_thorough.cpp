// Thorough defect check benchmark.
//   bench_thorough damage DIR
//     damages the photographs of DIR in name order: every 20th (from the 7th)
//     gets four bytes overwritten inside its scan data, end marker intact;
//     every 20th (from the 13th) is cut off at 60 %.
//   bench_thorough verdicts DIR
//     prints "name<TAB>defective|sound<TAB>reason" per file, in order.
//   bench_thorough time DIR ROUNDS
//     prints the best times of: the thorough check on all cores with the
//     verdicts taken in list order ("thorough"), a one-thread loop that
//     reads each file and checks it at 1/8 scale ("loop1"), a one-thread loop
//     of the picture library's plain 1/8-scale decode ("decode1"), and the whole
//     thorough scan engine copying the defective files ("scan").

#include "base/errors.h"
#include "common/bench_job_host.h"
#include "common/timing.h"
#include "imaging/jpeg_codec.h"
#include "imaging/picture_files.h"
#include "jobs/defect_scan/defect_scan.h"
#include "jobs/defect_scan/thorough_check.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <cstdio>
#include <ctime>

namespace {

QStringList photos(const QString& dir) {
    QStringList paths;
    for (const QString& name :
         QDir(dir).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name))
        paths << dir + QLatin1Char('/') + name;
    return paths;
}

qsizetype scanDataStart(const QByteArray& jpeg) {
    const qsizetype sos = jpeg.indexOf(QByteArray("\xFF\xDA", 2));
    if (sos < 0 || sos + 4 > jpeg.size())
        return -1;
    return sos + 2 + ((uchar(jpeg.at(sos + 2)) << 8) | uchar(jpeg.at(sos + 3)));
}

bool rewrite(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

int damage(const QString& dir) {
    QRandomGenerator random(20);
    int overwritten = 0, cut = 0;
    const QStringList paths = photos(dir);
    for (int i = 0; i < paths.size(); ++i) {
        QFile file(paths.at(i));
        if (i % 20 != 7 && i % 20 != 13)
            continue;
        if (!file.open(QIODevice::ReadOnly))
            return 1;
        QByteArray bytes = file.readAll();
        file.close();
        if (i % 20 == 13) {
            bytes.truncate(bytes.size() * 6 / 10);
            ++cut;
        } else {
            const qsizetype start = scanDataStart(bytes);
            const qsizetype length = bytes.size() - 2 - start;
            if (start < 0 || length < 100)
                continue;
            const qsizetype at =
                start + length / 5 + qsizetype(random.bounded(int(length * 3 / 5)));
            for (int k = 0; k < 4; ++k)
                bytes[at + k] = char(random.bounded(256));
            ++overwritten;
        }
        if (!rewrite(paths.at(i), bytes))
            return 1;
    }
    std::printf("overwritten %d cut %d of %lld\n", overwritten, cut, (long long)paths.size());
    return 0;
}

int verdicts(const QString& dir) {
    const QStringList paths = photos(dir);
    ThoroughCheckAhead ahead(paths, 0);
    for (int i = 0; i < paths.size(); ++i) {
        const DefectVerdict verdict = ahead.take(i);
        QString reason = verdict.readable ? DefectReasonText(verdict) : verdict.message;
        reason.replace(QLatin1Char('\t'), QLatin1Char(' '));
        std::printf("%s\t%s\t%s\n", qPrintable(paths.at(i).mid(dir.size() + 1)),
                    !verdict.readable   ? "unreadable"
                    : verdict.defective ? "defective"
                                        : "sound",
                    qPrintable(reason));
    }
    return 0;
}

int time(const QString& dir, int rounds) {
    const QStringList paths = photos(dir);
    int flagged = 0;
    const std::clock_t cpuBefore = std::clock();
    const double thorough = bestSeconds(rounds, [&] {
        flagged = 0;
        ThoroughCheckAhead ahead(paths, 0);
        for (int i = 0; i < paths.size(); ++i)
            flagged += ahead.take(i).defective ? 1 : 0;
    });
    // Processor time of all threads, per round: how many cores the check got.
    const double cpu = double(std::clock() - cpuBefore) / CLOCKS_PER_SEC / rounds;
    int complaints = 0;
    const double loop1 = bestSeconds(rounds, [&] {
        complaints = 0;
        for (const QString& path : paths)
            complaints += CheckJpegData(ReadPictureFile(path)).sound ? 0 : 1;
    });
    const double decode1 = bestSeconds(rounds, [&] {
        JpegDecodeOptions scaled;
        scaled.fast = true;
        scaled.minWidth = 1;
        scaled.minHeight = 1;
        for (const QString& path : paths) {
            try {
                DecodeJpeg(ReadPictureFile(path), scaled);
            } catch (const KelvastoError&) {
            }
        }
    });
    BenchJobHost host;
    host.settings().Arbeitsverzeichnis = dir + QStringLiteral("-work/");
    QDir().mkpath(host.settings().Arbeitsverzeichnis);
    DefectScanOptions options;
    options.recursive = true;
    options.thorough = true;
    options.startFolders = {dir + QLatin1Char('/')};
    int scanned = 0;
    const double scan =
        bestSeconds(rounds, [&] { scanned = ScanDefectiveJpegs(host, options).defective; });
    std::printf(
        "files %lld\ncpu %.3f\nthorough %.3f %d\nloop1 %.3f %d\ndecode1 %.3f\nscan %.3f %d\n",
        (long long)paths.size(), cpu, thorough, flagged, loop1, complaints, decode1, scan, scanned);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 3 && args.at(1) == QLatin1String("damage"))
        return damage(args.at(2));
    if (args.size() >= 3 && args.at(1) == QLatin1String("verdicts"))
        return verdicts(args.at(2));
    if (args.size() >= 4 && args.at(1) == QLatin1String("time"))
        return time(args.at(2), args.at(3).toInt());
    std::fprintf(stderr, "usage: bench_thorough damage|verdicts|time DIR [ROUNDS]\n");
    return 2;
}
