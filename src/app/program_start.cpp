#include "app/program_start.h"

#include "ui/dialogs/about_box.h"
#include "ui/dialogs/help_window.h"
#include "ui/dialogs/message_dialog.h"
#include "ui/dialogs/options_dialog.h"
#include "ui/language/language_chooser.h"
#include "ui/main_window/hauptform.h"
#include "ui/main_window/window_commands.h"

#include <QApplication>
#include <QScreen>

ProgramWindows::ProgramWindows() = default;
ProgramWindows::~ProgramWindows() = default;
ProgramWindows::ProgramWindows(ProgramWindows&&) noexcept = default;

ProgramWindows CreateProgramWindows() {
    ProgramWindows windows;
    windows.main = std::make_unique<THauptForm>();
    THauptForm* main = windows.main.get();
    windows.languageChooser =
        std::make_unique<TfrmSprache>(main->settings(), [main] { main->ApplyLanguage(); });
    main->controller<WindowCommandsController>().setLanguageChooser(windows.languageChooser.get());
    // The Help button of a message shows the contents page; the message is
    // modal, so the help window is shown modally above it.
    SetMessageHelpHandler([](int, const QString&) {
        HelpWindow help(QApplication::activeModalWidget());
        help.setModal(true);
        help.showContents();
        help.exec();
    });
    if (main->settings().Sprachwahl)
        windows.languageChooser->exec();
    windows.about = std::make_unique<TInfoF>(main);
    main->controller<WindowCommandsController>().setAboutBox(windows.about.get());
    windows.options = std::make_unique<TFormOptionen>(*main);
    main->controller<WindowCommandsController>().setOptionsDialog(windows.options.get());
    return windows;
}

int RunProgram(QApplication& app) {
    QApplication::setApplicationName(QStringLiteral("Kelvasto"));
    ProgramWindows windows = CreateProgramWindows();
    // Without a window manager "maximised" means nothing; fill the screen too.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        windows.main->setGeometry(screen->availableGeometry());
    windows.main->showMaximized();
    return app.exec();
}
