// Reduction benchmark.
//   bench_reduction generate DIR COUNT PHOTO...
//     writes COUNT JPEG files into DIR: crops of the given photographs at
//     800 to 1600 pixels wide, quality 85 to 95, one in four progressive,
//     one in three with data appended behind the picture (as cameras append
//     previews). Metadata is added afterwards by exiftool (see run.sh).
//   bench_reduction reduce DIR
//     runs the reduction job over the tree DIR with all three options;
//     prints "reduce SECONDS SAVED".
//   bench_reduction jpegtran LIST
//     runs `jpegtran -copy none` once per file, into a file beside it that
//     then replaces it; prints "jpegtran SECONDS".
//   bench_reduction compare LIST_A LIST_B
//     decodes each pair of files and fails unless all pixels are equal.

#include "common/bench_job_host.h"
#include "imaging/jpeg_codec.h"
#include "jobs/reduction/reduce_jpegs.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QRandomGenerator>

#include <cstdio>
#include <exception>

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

QStringList readList(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList list;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (!line.isEmpty())
            list << QFile::decodeName(line);
    return list;
}

QImage loadScaled(const QString& path) {
    QImageReader reader(path);
    // The sources are up to 5,640 pixels wide: decoding at a quarter keeps
    // the generation short and still leaves room for crops.
    const QSize size = reader.size();
    if (size.width() > 3200)
        reader.setScaledSize(size / 2);
    return reader.read();
}

int generate(const QString& root, int count, const QStringList& sources) {
    std::vector<QImage> photos;
    for (const QString& source : sources) {
        QImage image = loadScaled(source);
        if (!image.isNull())
            photos.push_back(image.convertToFormat(QImage::Format_RGB32));
    }
    if (photos.empty()) {
        std::fputs("no photographs to work from\n", stderr);
        return 1;
    }
    QRandomGenerator random(2026);
    qint64 total = 0;
    for (int i = 0; i < count; ++i) {
        const QImage& photo = photos[std::size_t(i) % photos.size()];
        const int width = int(random.bounded(800, 1601));
        const int cropWidth = qMin(photo.width(), int(random.bounded(width, width * 2 + 1)));
        const int cropHeight = qMin(photo.height(), cropWidth * 3 / 4);
        const int x = int(random.bounded(photo.width() - cropWidth + 1));
        const int y = int(random.bounded(photo.height() - cropHeight + 1));
        const QImage crop = photo.copy(x, y, cropWidth, cropHeight)
                                .scaledToWidth(qMin(width, cropWidth), Qt::SmoothTransformation);
        const QString folder = root + QStringLiteral("/d%1").arg(i / 250);
        if (i % 250 == 0)
            QDir().mkpath(folder);
        const QString path = folder + QStringLiteral("/IMG_%1.jpg").arg(i, 5, 10, QLatin1Char('0'));
        {
            QImageWriter writer(path, "jpeg");
            writer.setQuality(int(random.bounded(85, 96)));
            writer.setProgressiveScanWrite(i % 4 == 3);
            if (!writer.write(crop))
                return 1;
        }
        if (i % 3 == 0) {
            QFile file(path);
            if (!file.open(QIODevice::Append))
                return 1;
            file.write(QByteArray(int(random.bounded(2000, 20000)), 'p'));
        }
        total += QFileInfo(path).size();
    }
    std::printf("%d files, %lld bytes\n", count, static_cast<long long>(total));
    return 0;
}

// The whole job, as the window runs it: collect the tree, reduce each file.
int reduce(const QString& folder) {
    BenchJobHost host;
    host.setSelectedFolder(folder + QLatin1Char('/'));
    ReduceJpegsOptions options;
    options.recursive = true;
    options.remove = {true, true, true};
    QElapsedTimer timer;
    timer.start();
    const ReduceJpegsResult result = ReduceJpegs(host, options);
    if (!result.failedFile.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(result.error));
        return 1;
    }
    std::printf("reduce %.6f %lld\n", double(timer.nsecsElapsed()) / 1e9,
                static_cast<long long>(result.savingsTotal));
    return 0;
}

int jpegtran(const QString& listPath) {
    const QStringList files = readList(listPath);
    QElapsedTimer timer;
    timer.start();
    for (const QString& file : files) {
        const QByteArray in = QFile::encodeName(file);
        const QByteArray out = in + ".tmp";
        const char* argv[] = {"jpegtran",      "-copy",        "none", "-outfile",
                              out.constData(), in.constData(), nullptr};
        pid_t pid = 0;
        if (::posix_spawnp(&pid, "jpegtran", nullptr, nullptr, const_cast<char**>(argv), environ) !=
            0)
            return 1;
        int status = 0;
        ::waitpid(pid, &status, 0);
        if (status != 0 || ::rename(out.constData(), in.constData()) != 0)
            return 1;
    }
    std::printf("jpegtran %.6f\n", double(timer.nsecsElapsed()) / 1e9);
    return 0;
}

int compare(const QString& listA, const QString& listB) {
    const QStringList a = readList(listA);
    const QStringList b = readList(listB);
    if (a.size() != b.size())
        return 1;
    for (qsizetype i = 0; i < a.size(); ++i) {
        QFile fa(a[i]);
        QFile fb(b[i]);
        if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly))
            return 1;
        if (!(DecodeJpeg(fa.readAll()) == DecodeJpeg(fb.readAll()))) {
            std::fprintf(stderr, "pixels differ: %s\n", qPrintable(b[i]));
            return 1;
        }
    }
    std::printf("compare %lld pairs: same pixels\n", static_cast<long long>(a.size()));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 5 && args[1] == QLatin1String("generate"))
        return generate(args[2], args[3].toInt(), args.mid(4));
    if (args.size() == 3 && args[1] == QLatin1String("reduce"))
        return reduce(args[2]);
    if (args.size() == 3 && args[1] == QLatin1String("jpegtran"))
        return jpegtran(args[2]);
    if (args.size() == 4 && args[1] == QLatin1String("compare"))
        return compare(args[2], args[3]);
    std::fputs("usage: bench_reduction generate DIR COUNT PHOTO... | reduce DIR | jpegtran LIST "
               "| compare LIST_A LIST_B\n",
               stderr);
    return 2;
}
