#pragma once
// Program start in the established order: the main window (whose creation
// reads the settings), then the other windows; the language chooser is shown
// modally before the main window when "Sprachwahl" is true.

#include <memory>

class QApplication;
class THauptForm;
class TfrmSprache;
class TInfoF;
class TFormOptionen;

// Every window that lives for the whole run; the dialogs are top-level
// windows of their own. Members go in reverse order, so the chooser, which
// calls into the main window, is destroyed first; so are the about box and the
// options dialog.
struct ProgramWindows {
    std::unique_ptr<THauptForm> main;
    std::unique_ptr<TfrmSprache> languageChooser;
    std::unique_ptr<TInfoF> about;
    std::unique_ptr<TFormOptionen> options;

    ProgramWindows();
    ~ProgramWindows();
    ProgramWindows(ProgramWindows&&) noexcept;
};

// Steps 2 to 7 of the start: creates the windows and shows the chooser when
// asked for. The main window is not shown yet.
ProgramWindows CreateProgramWindows();

// Creates the windows, shows the main window maximised and runs the event
// loop until it closes.
int RunProgram(QApplication& app);
