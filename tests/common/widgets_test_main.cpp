// The main of a test program of windows and dialogs.
#include "common/test_runner.h"

#include <QApplication>

int main(int argc, char** argv) {
    return testing::runRegisteredTests<QApplication>(argc, argv);
}
