// Times the pop-up preview's picture of one JPEG file (decoded DCT-scaled
// straight at the preview size):
//
//     bench_preview FILE [SIZE] [ROUNDS]
//
// Prints the best time in milliseconds and the size shown.

#include "common/timing.h"
#include "preview/preview_rules.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    const int size = argc > 2 ? std::atoi(argv[2]) : 100;
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 10;
    Picture picture;
    const double seconds = bestSeconds(rounds, [&] { picture = LoadPreviewPicture(path, size); });
    std::printf("%.1f ms for %d x %d\n", seconds * 1000, picture.width(), picture.height());
    return 0;
}
