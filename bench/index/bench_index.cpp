// Times the index-picture and thumbnail jobs on a folder of photographs.
//
//     bench_index thumbs DIR SIDE      thumbnails of DIR's tree into DIR/.../t/
//     bench_index sheets DIR           sheets of 42, 7 to a row, side 100, into DIR/s/
//
// Prints "<mode> <seconds>" and, for the sheets, the same run with every
// picture loaded in turn on one thread ("sheets-one-thread"), which must
// write the same bytes.

#include "common/bench_job_host.h"
#include "common/timing.h"

#include "jobs/framework/picture_prefetch.h"
#include "jobs/index/index_jobs.h"
#include "jobs/index/index_sheets.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

int thumbs(const QString& dir, int side) {
    BenchJobHost host;
    host.setSelectedFolder(dir);
    ThumbnailJobOptions options;
    options.recursive = true;
    options.side = side;
    options.postfix = QStringLiteral("_t");
    options.destination = {DestinationKind::SubFolder, {}, QStringLiteral("t")};
    IndexJobResult result;
    const double seconds = bestSeconds(1, [&] { result = MakeThumbnails(host, options); });
    std::printf("thumbs %.3f (%d written, %d skipped)\n", seconds, result.written, result.skipped);
    return result.skipped == 0 ? 0 : 1;
}

int sheets(const QString& dir) {
    BenchJobHost host;
    host.setSelectedFolder(dir);
    IndexJobOptions options;
    options.recursive = true;
    options.stem = QStringLiteral("sheet");
    options.destination = {DestinationKind::SubFolder, {}, QStringLiteral("s")};
    IndexJobResult result;
    const double seconds = bestSeconds(1, [&] { result = MakeIndexPictures(host, options); });
    std::printf("sheets %.3f (%d written, %d skipped)\n", seconds, result.written, result.skipped);

    // The same sheets with every picture loaded in turn.
    const QStringList files = host.lists().AlteDateinamen;
    QDir().mkpath(dir + QStringLiteral("/one"));
    const double one = bestSeconds(1, [&] {
        PicturePrefetcher pictures(
            files, [](const QString& path) { return LoadCellPicture(path, 100); }, 0);
        BuildIndexSheets(options.layout, files, dir + QStringLiteral("/one/sheet"), pictures,
                         [](const QString&, const QString&) {});
    });
    std::printf("sheets-one-thread %.3f\n", one);
    bool same = true;
    for (const QString& name : QDir(dir + QStringLiteral("/s")).entryList(QDir::Files)) {
        QFile a(dir + QStringLiteral("/s/") + name), b(dir + QStringLiteral("/one/") + name);
        same = same && a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly) &&
               a.readAll() == b.readAll();
    }
    std::printf("same-bytes %s\n", same ? "yes" : "NO");
    return same && result.skipped == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("thumbs"))
        return thumbs(args[2], args[3].toInt());
    if (args.size() == 3 && args[1] == QLatin1String("sheets"))
        return sheets(args[2]);
    std::fprintf(stderr, "usage: bench_index thumbs DIR SIDE | sheets DIR\n");
    return 2;
}
