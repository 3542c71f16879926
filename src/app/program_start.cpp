#include "app/program_start.h"

#include <QApplication>

int RunProgram(QApplication& app) { return app.exec(); }
