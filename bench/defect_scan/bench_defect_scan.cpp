// Defect-scan benchmark.
//   bench_defect_scan generate DIR SMALL PICTURES
//     builds DIR/small (SMALL files of a few hundred bytes) and DIR/pictures
//     (PICTURES real JPEG photos), each a mix of sound files, cut-off files
//     and files with data appended behind the picture.
//   bench_defect_scan run DIR ROUNDS
//     prints the best times of: the floor (open each file by its path, read
//     its last two bytes), the end-of-image test over the same list (in turn,
//     and with the tester running ahead as in the scan), the collection, the whole
//     scan engine (collect + test + copy the defective files; then again
//     with the copies in place), and IsDefectiveJpeg over DIR/pictures.

#include "common/bench_job_host.h"
#include "common/jpeg_builder.h"
#include "common/timing.h"
#include "fs/file_collection.h"
#include "fs/folder_access.h"
#include "jobs/defect_scan/defect_scan.h"
#include "jobs/defect_scan/defect_test_ahead.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray photoLikeJpeg(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(42);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgb((x + int(random.bounded(40))) % 256, (y + int(random.bounded(40))) % 256,
                           (x * y / 97 + int(random.bounded(40))) % 256);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 90);
    return bytes;
}

// One in ten files cut off at 60 %, one in ten with 5 % of data appended
// behind the picture (still sound), the rest sound.
QByteArray variant(const QByteArray& sound, int i) {
    switch (i % 10) {
    case 0:
        return sound.left(sound.size() * 6 / 10);
    case 1:
        return sound + QByteArray(sound.size() / 20, 'z');
    default:
        return sound;
    }
}

bool writeTree(const QString& folder, const QByteArray& sound, int count) {
    for (int i = 0; i < count; ++i) {
        const QString sub = folder + QStringLiteral("/d%1").arg(i / 200);
        if (i % 200 == 0)
            QDir().mkpath(sub);
        QFile file(sub + QStringLiteral("/IMG_%1.jpg").arg(i));
        const QByteArray bytes = variant(sound, i);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return false;
    }
    return true;
}

int generate(const QString& root, int small, int pictures) {
    const QByteArray tiny = JpegBuilder().soi().scanData(396).eoi().bytes();
    const QByteArray photo = photoLikeJpeg(1024, 768);
    if (!writeTree(root + QStringLiteral("/small"), tiny, small) ||
        !writeTree(root + QStringLiteral("/pictures"), photo, pictures))
        return 1;
    std::printf("%d small files, %d pictures of %lld bytes\n", small, pictures,
                static_cast<long long>(photo.size()));
    return 0;
}

QStringList collect(const QString& folder) {
    BenchJobHost host;
    QStringList list;
    CollectJpegFilesRecursive(host, list, folder);
    return list;
}

// The least any end-of-file test must do.
int floorLoop(const std::vector<QByteArray>& paths) {
    int hits = 0;
    for (const QByteArray& path : paths) {
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {};
        unsigned char last[2] = {0, 0};
        if (::fstat(fd, &st) == 0 && st.st_size >= 2 && ::pread(fd, last, 2, st.st_size - 2) == 2)
            hits += last[0] == 0xFF && last[1] == 0xD9;
        ::close(fd);
    }
    return hits;
}

// The scan's own test loop: each file opened relative to its folder.
int defectLoop(const QStringList& paths) {
    int defective = 0;
    FolderCache folders;
    for (const QString& path : paths)
        defective += TestDefectiveJpeg(path, folders).defective;
    return defective;
}

// The same with the testers running ahead on every core, as in the scan.
int defectLoopAhead(const QStringList& paths) {
    int defective = 0;
    DefectTestAhead ahead(paths);
    for (int i = 0; i < paths.size(); ++i)
        defective += ahead.take(i).defective;
    return defective;
}

int run(const QString& root, int rounds) {
    const QStringList all = collect(root);
    const QStringList pictures = collect(root + QStringLiteral("/pictures"));
    std::vector<QByteArray> encoded;
    for (const QString& path : all)
        encoded.push_back(QFile::encodeName(path));
    floorLoop(encoded); // warm the cache

    int defective = 0;
    const double floorSeconds = bestSeconds(rounds, [&] { floorLoop(encoded); });
    const double testSeconds = bestSeconds(rounds, [&] { defective = defectLoop(all); });
    int defectiveAhead = 0;
    const double aheadSeconds = bestSeconds(rounds, [&] { defectiveAhead = defectLoopAhead(all); });
    const double pictureSeconds = bestSeconds(rounds, [&] { defectLoop(pictures); });

    QTemporaryDir destination;
    BenchJobHost host;
    host.settings().Arbeitsverzeichnis = destination.path() + QLatin1Char('/');
    host.settings().Protokolldatei = QStringLiteral("Protokoll.txt");
    host.setSelectedFolder(root + QLatin1Char('/'));
    DefectScanOptions options;
    options.recursive = true;
    DefectScanResult result;
    const double scanSeconds = bestSeconds(1, [&] { result = ScanDefectiveJpegs(host, options); });
    // Again: the copies exist now, so this is the engine's own work (collect,
    // test, counters, log) without writing the copies.
    const double rescanSeconds =
        bestSeconds(rounds, [&] { result = ScanDefectiveJpegs(host, options); });
    const double collectSeconds = bestSeconds(rounds, [&] { collect(root); });

    std::printf("files %lld defective %d pictures %lld\n", static_cast<long long>(all.size()),
                defective, static_cast<long long>(pictures.size()));
    std::printf("floor %.6f\ntest %.6f\ntest_ahead %.6f\ncollect %.6f\nscan %.6f\nrescan "
                "%.6f\npictures %.6f\n",
                floorSeconds, testSeconds, aheadSeconds, collectSeconds, scanSeconds, rescanSeconds,
                pictureSeconds);
    return result.defective == defective && defectiveAhead == defective ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 5 && args[1] == QLatin1String("generate"))
        return generate(args[2], args[3].toInt(), args[4].toInt());
    if (args.size() == 4 && args[1] == QLatin1String("run"))
        return run(args[2], args[3].toInt());
    std::fputs("usage: bench_defect_scan generate DIR SMALL PICTURES | run DIR ROUNDS\n", stderr);
    return 2;
}
