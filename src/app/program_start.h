#pragma once
class QApplication;

// Creates the windows in the established order, shows the language chooser
// when asked for, runs the event loop with the main window maximised.
int RunProgram(QApplication& app);
