#include "ui/main_window/window_commands.h"

#include "ui/dialogs/help_window.h"
#include "ui/dialogs/uninstall_command.h"
#include "ui/language/language_chooser.h"

WindowCommandsController::WindowCommandsController(THauptForm& window)
    : FeatureController(window) {}

void WindowCommandsController::build(const FeaturePlaces&) {
    // These toolbar buttons run their menu entries.
    for (auto [button, entry] :
         {std::pair{"TB01Optionen", "HMenuDateiOPT"}, std::pair{"TB01Hilfe", "HMenuInfoHilfe"},
          std::pair{"TB01Info", "HMenu_InfoF"}}) {
        QAction* target = control<QAction>(QString::fromLatin1(entry));
        connect(control<QAction>(QString::fromLatin1(button)), &QAction::triggered, target,
                &QAction::trigger);
    }
    onTrigger("HMenuInfoHilfe", &WindowCommandsController::HMenuInfoHilfeClick);
    onTrigger("HMenuDateiOPT", &WindowCommandsController::HMenuDateiOPTClick);
    onTrigger("HMenu_InfoF", &WindowCommandsController::TB01InfoClick);
    onTrigger("HMenuDateiProgDeInst", &WindowCommandsController::HMenuDateiProgDeInstClick);
    onTrigger("HMenu_Sprache", &WindowCommandsController::HMenu_SpracheClick);
    onTrigger("HMenu_ProgEnde", &WindowCommandsController::HMenu_ProgEndeClick);
}

void WindowCommandsController::HMenu_SpracheClick() {
    if (m_languageChooser)
        m_languageChooser->exec();
}

void WindowCommandsController::HMenu_ProgEndeClick() {
    window().close();
}

void WindowCommandsController::HMenuDateiOPTClick() {
    if (m_optionsDialog)
        m_optionsDialog->exec();
}

void WindowCommandsController::TB01InfoClick() {
    if (m_aboutBox)
        m_aboutBox->exec();
}

void WindowCommandsController::HMenuDateiProgDeInstClick() {
    UninstallProgram();
}

void WindowCommandsController::HMenuInfoHilfeClick() {
    if (!m_helpWindow)
        m_helpWindow = new HelpWindow(&window());
    m_helpWindow->showContents();
}
