#include "app/program_start.h"

#include "i18n/language_chooser.h"
#include "ui/main_window/hauptform.h"

#include <QApplication>

ProgramWindows::ProgramWindows() = default;
ProgramWindows::~ProgramWindows() {
    // The chooser calls into the main window; it goes first.
    languageChooser.reset();
    main.reset();
}
ProgramWindows::ProgramWindows(ProgramWindows&&) noexcept = default;

ProgramWindows CreateProgramWindows() {
    ProgramWindows windows;
    windows.main = std::make_unique<THauptForm>();
    THauptForm* main = windows.main.get();
    windows.languageChooser =
        std::make_unique<TfrmSprache>(main->settings(), [main] { main->ApplyLanguage(); });
    main->setLanguageChooser(windows.languageChooser.get());
    if (main->settings().Sprachwahl)
        windows.languageChooser->exec();
    return windows;
}

int RunProgram(QApplication& app) {
    QApplication::setApplicationName(QStringLiteral("Kelvasto"));
    ProgramWindows windows = CreateProgramWindows();
    windows.main->showMaximized();
    return app.exec();
}
