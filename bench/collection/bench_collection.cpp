// Collection benchmark: `bench_collection generate DIR FOLDERS FILES` builds a
// tree; `bench_collection run DIR ROUNDS` prints the best time of collecting
// DIR's "*.jpg" then "*.jpeg" files in one walk, and the count;
// `run-two-walks` does the same with one call per mask.

#include "common/bench_job_host.h"
#include "common/timing.h"
#include "fs/file_collection.h"

#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

// FOLDERS folders, up to three levels deep, FILES files spread over them:
// mostly .jpg, some .jpeg, .JPG and other extensions, a few hidden folders.
int generate(const QString& root, int folders, int files) {
    QStringList paths;
    for (int i = 0; i < folders; ++i) {
        QString folder = root + QStringLiteral("/a%1").arg(i % 50);
        if (i >= 50)
            folder += QStringLiteral("/b%1").arg(i / 50 % 20);
        if (i >= 1000)
            folder += QStringLiteral("/c%1").arg(i / 1000);
        if (i % 97 == 0 && i >= 50)
            folder += QStringLiteral("/.hidden");
        paths.append(folder);
    }
    paths.removeDuplicates();
    for (const QString& folder : paths)
        QDir().mkpath(folder);
    const char* extensions[] = {".jpg", ".jpg", ".jpg", ".jpeg", ".JPG", ".png", ".txt"};
    const QByteArray content(200, 'x');
    for (int i = 0; i < files; ++i) {
        const QString path = paths.at(i % paths.size()) + QStringLiteral("/IMG_%1").arg(i) +
                             QLatin1String(extensions[i % 7]);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            return 1;
    }
    std::printf("%lld folders, %d files\n", static_cast<long long>(paths.size()), files);
    return 0;
}

int run(const QString& root, int rounds, bool oneCallPerMask) {
    BenchJobHost host;
    qsizetype count = 0;
    const double seconds = bestSeconds(rounds, [&] {
        QStringList list;
        if (oneCallPerMask) {
            CollectFilesRecursive(host, list, root + QStringLiteral("/*.jpg"));
            CollectFilesRecursive(host, list, root + QStringLiteral("/*.jpeg"));
        } else {
            CollectJpegFilesRecursive(host, list, root);
        }
        count = list.size();
    });
    std::printf("%.6f %lld\n", seconds, static_cast<long long>(count));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 5 && args[1] == QLatin1String("generate"))
        return generate(args[2], args[3].toInt(), args[4].toInt());
    if (args.size() == 4 && args[1] == QLatin1String("run"))
        return run(args[2], args[3].toInt(), false);
    if (args.size() == 4 && args[1] == QLatin1String("run-two-walks"))
        return run(args[2], args[3].toInt(), true);
    std::fputs("usage: bench_collection generate DIR FOLDERS FILES | run[-two-walks] DIR ROUNDS\n",
               stderr);
    return 2;
}
