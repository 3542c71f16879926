// The main of a core test program whose tests need no window system.
#include "common/test_runner.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    return testing::runRegisteredTests<QCoreApplication>(argc, argv);
}
