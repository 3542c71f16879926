// Window-wide handlers: size limit, language, help, options, about,
// uninstall, quit.

#include "ui/main_window/hauptform.h"

#include "app/error_handler.h"
#include "preview/thumb_form.h"
#include "ui/dialogs/help_window.h"
#include "ui/dialogs/uninstall_command.h"
#include "ui/icons/theme_icons.h"
#include "ui/language/language_chooser.h"

#include <QEvent>
#include <QLabel>

void THauptForm::LimitWindowSize() {
    setMinimumSize(kMinimumWindowSize.expandedTo(minimumSizeHint()));
}

void THauptForm::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // The desktop's font changed: the pages may need more room now.
    if (event->type() == QEvent::FontChange)
        GuardedHandler(this, [this] { LimitWindowSize(); });
    // The desktop's colours changed: the icons follow light or dark.
    if (event->type() == QEvent::PaletteChange)
        GuardedHandler(this, [this] { MatchIconThemeToPalette(palette()); });
}

void THauptForm::HMenu_SpracheClick() {
    if (m_languageChooser)
        m_languageChooser->exec();
}

void THauptForm::HMenu_ProgEndeClick() {
    close();
}

void THauptForm::applyPreviewSettings() {
    if (m_thumbForm)
        m_thumbForm->applySettings();
    emit previewSettingsChanged();
}

void THauptForm::HMenuDateiOPTClick() {
    if (m_optionsDialog)
        m_optionsDialog->exec();
}

void THauptForm::TB01InfoClick() {
    if (m_aboutBox)
        m_aboutBox->exec();
}

void THauptForm::HMenuDateiProgDeInstClick() {
    UninstallProgram();
}

void THauptForm::HMenuInfoHilfeClick() {
    if (!m_helpWindow)
        m_helpWindow = new HelpWindow(this);
    m_helpWindow->showContents();
}
