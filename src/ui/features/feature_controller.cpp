#include "ui/features/feature_controller.h"

#include "fs/path_utils.h"
#include "i18n/catalogue.h"
#include "jobs/defect_scan/defect_results.h"
#include "ui/dialogs/select_dir_dialog.h"

#include <QDir>
#include <QLineEdit>

FeatureController::FeatureController(THauptForm& window) : QObject(&window), m_window(window) {}

FeatureController::~FeatureController() = default;

void FeatureController::chooseDestinationFolder(const QString& fieldName) const {
    auto* field = control<QLineEdit>(fieldName);
    const DestinationStart start =
        DestinationChooserStart(field->text(), AddTrailingBackslash(QDir::homePath()));
    QString folder = start.text;
    if (start.openChooser)
        ChooseDirectory(folder, CatalogueText(CatalogueId::ChooseDirectory),
                        CatalogueText(CatalogueId::ChooseDestinationPrompt), CurrentLanguageName(),
                        window().currentTreeFolder());
    field->setText(folder);
}
