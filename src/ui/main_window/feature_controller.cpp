#include "ui/main_window/feature_controller.h"

#include "engine/defect_results.h"
#include "engine/path_utils.h"
#include "i18n/catalogue.h"
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
        ChooseDirectory(folder, CatalogueText(9006), CatalogueText(9007), CurrentLanguageName(),
                        window().currentTreeFolder());
    field->setText(folder);
}
