// One whole picture job as a batch function runs it: decode a JPEG at full
// size, apply one effect, write the result with SaveAsJpeg. run.sh times this
// process against ImageMagick on the same file.
//
//     bench_imaging EFFECT IN.jpg OUT.jpg
//
// EFFECT is none, invert, grey, mirror-tb, mirror-lr, sharpen, optimise or
// anti-alias. Prints the time of each step to stderr.

#include "base/errors.h"
#include "imaging/filter_engine.h"
#include "imaging/optimise.h"
#include "imaging/picture_files.h"
#include "imaging/simple_effects.h"

#include <QString>

#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

const std::map<std::string, std::function<void(ImagingContext&, Picture&)>>& effects() {
    static const std::map<std::string, std::function<void(ImagingContext&, Picture&)>> table{
        {"none", [](ImagingContext&, Picture&) {}},
        {"invert", [](ImagingContext&, Picture& p) { InvertPicture(p); }},
        {"grey", [](ImagingContext&, Picture& p) { GreyPicture(p); }},
        {"mirror-tb", [](ImagingContext&, Picture& p) { MirrorTopBottom(p); }},
        {"mirror-lr", [](ImagingContext&, Picture& p) { MirrorLeftRight(p); }},
        {"sharpen", [](ImagingContext& c, Picture& p) { SharpenPicture(c, p); }},
        {"optimise", [](ImagingContext& c, Picture& p) { OptimisePicture(c, p); }},
        {"anti-alias",
         [](ImagingContext&, Picture& p) {
             AntiAliasPicture(p, {0, 0, p.width(), p.height()}, 100);
         }},
    };
    return table;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4 || effects().count(argv[1]) == 0) {
        std::fprintf(stderr, "usage: bench_imaging EFFECT IN.jpg OUT.jpg\n");
        return 2;
    }
    try {
        ImagingContext context;
        auto start = Clock::now();
        Picture picture = LoadJpegFile(QString::fromLocal8Bit(argv[2]));
        const double decode = secondsSince(start);
        start = Clock::now();
        effects().at(argv[1])(context, picture);
        const double effect = secondsSince(start);
        start = Clock::now();
        SaveAsJpeg(picture, QString::fromLocal8Bit(argv[3]));
        const double encode = secondsSince(start);
        std::fprintf(stderr, "%-10s decode %.3f s, effect %.3f s, save %.3f s\n", argv[1], decode,
                     effect, encode);
    } catch (const KelvastoError& e) {
        std::fprintf(stderr, "bench_imaging: %s\n", e.what());
        return 1;
    }
    return 0;
}
