#pragma once
// The window's own commands in the menus and the toolbar: the language
// chooser, the options dialog, the about box, help, uninstall and quit. The
// dialogs are created at start; the controller shows them modally and does
// not own them.

#include "ui/features/feature_controller.h"

#include <QDialog>
#include <QPointer>

class HelpWindow;
class TfrmSprache;

class WindowCommandsController : public FeatureController {
public:
    explicit WindowCommandsController(THauptForm& window);

    void build(const FeaturePlaces& places) override;

    // HMenu_Sprache shows this chooser modally.
    void setLanguageChooser(TfrmSprache* chooser) { m_languageChooser = chooser; }
    void setAboutBox(QDialog* about) { m_aboutBox = about; }
    void setOptionsDialog(QDialog* options) { m_optionsDialog = options; }

    void HMenu_SpracheClick();
    void HMenu_ProgEndeClick();
    void HMenuInfoHilfeClick();
    void HMenuDateiOPTClick();
    void TB01InfoClick();
    void HMenuDateiProgDeInstClick();

private:
    QPointer<TfrmSprache> m_languageChooser;
    QPointer<HelpWindow> m_helpWindow;
    QPointer<QDialog> m_aboutBox;
    QPointer<QDialog> m_optionsDialog;
};
