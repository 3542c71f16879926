// The main of a core test program whose tests paint or measure text (QPainter,
// QFont): those need a QGuiApplication, never the widgets.
#include "common/test_runner.h"

#include <QGuiApplication>

int main(int argc, char** argv) {
    return testing::runRegisteredTests<QGuiApplication>(argc, argv);
}
