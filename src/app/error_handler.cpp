#include "app/error_handler.h"

#include <atomic>

namespace {
std::atomic<int> gDiscarded{0};
}

void MyErrorHandler(QObject*, std::exception_ptr) {
    ++gDiscarded;
}

int DiscardedErrorCount() {
    return gDiscarded.load();
}
