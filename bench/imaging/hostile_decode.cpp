// Decodes one file with the decoders' own limits and prints what it cost:
// wall and CPU time and the process's peak memory. Run once per file, so
// that each peak is that file's:
//     for f in fuzz/corpus/*/hostile-*; do build-release/bench/bench_hostile_decode "$f"; done
// Usage: bench_hostile_decode FILE [--fast]   (.bmp as bitmap, else JPEG)

#include "base/errors.h"
#include "imaging/bmp_reader.h"
#include "imaging/jpeg_codec.h"

#include <QFile>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

double cpuSeconds(const rusage& u) {
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE [--fast]\n", argv[0]);
        return 2;
    }
    QFile file(QFile::decodeName(argv[1]));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 2;
    }
    const QByteArray bytes = file.readAll();
    const bool fast = argc > 2 && std::strcmp(argv[2], "--fast") == 0;
    const bool bitmap = file.fileName().endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive);
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    const auto start = std::chrono::steady_clock::now();
    std::string outcome;
    try {
        const Picture p = bitmap ? DecodeBmp(bytes) : DecodeJpeg(bytes, {fast, 160, 120});
        outcome = "decoded " + std::to_string(p.width()) + " x " + std::to_string(p.height());
    } catch (const KelvastoError& e) {
        outcome = std::string("refused (") + e.what() + ")";
    }
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
    getrusage(RUSAGE_SELF, &after);
    std::printf("%s (%lld bytes%s): %s; %.4f s wall, %.4f s CPU, peak memory %ld MiB\n", argv[1],
                static_cast<long long>(bytes.size()), fast ? ", fast" : "", outcome.c_str(),
                wall.count(), cpuSeconds(after) - cpuSeconds(before), after.ru_maxrss / 1024);
    return 0;
}
