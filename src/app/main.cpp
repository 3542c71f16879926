// Kelvasto: start-up in the established order. The main window's construction
// reads the settings; the language chooser may come before the window shows.

#include "app/program_start.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return RunProgram(app);
}
