// Runs one batch function over every JPEG file of a folder tree, as the
// window does with "Verzeichnis rekursiv durchsuchen" ticked:
//
//     bench_effects aa|opt|sw FOLDER
//
// The results land beside the sources; the caller clears them between runs.

#include "common/bench_job_host.h"
#include "jobs/functions/batch_functions.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_effects aa|opt|sw FOLDER\n");
        return 2;
    }
    const QString name = QString::fromLocal8Bit(argv[1]);
    BatchFunction function = BatchFunction::AntiAlias;
    if (name == QLatin1String("opt"))
        function = BatchFunction::Optimise;
    else if (name == QLatin1String("sw"))
        function = BatchFunction::BlackWhite;
    else if (name != QLatin1String("aa"))
        return 2;
    BenchJobHost host;
    host.setSelectedFolder(QString::fromLocal8Bit(argv[2]));
    BatchFunctionOptions options;
    options.recursive = true;
    const BatchFunctionResult result = RunJpegFunction(host, function, options);
    std::printf("%d of %d written\n", result.written, result.collected);
    return result.written == result.collected ? 0 : 1;
}
