#include "ui/features/functions/functions_controller.h"

#include "app/error_handler.h"
#include "i18n/catalogue.h"
#include "jobs/framework/job_controls.h"
#include "ui/features/functions/functions_page.h"
#include "ui/features/guarded_connect.h"
#include "ui/file_list/file_list_filter.h"
#include "ui/main_window/main_window_parts.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>

namespace {
const QString kDestination = QStringLiteral("FktZielverzeichnis");
const QStringList kJpegEntries = {QStringLiteral("AntiAlising"), QStringLiteral("Optimieren"),
                                  QStringLiteral("SW")};
const QString kBitmapEntry = QStringLiteral("BMP_JPG");
} // namespace

BatchFunction BatchFunctionOfControl(const QString& objectName) {
    if (objectName.endsWith(QLatin1String("AntiAlising")))
        return BatchFunction::AntiAlias;
    if (objectName.endsWith(QLatin1String("Optimieren")))
        return BatchFunction::Optimise;
    return BatchFunction::BlackWhite;
}

FunctionsController::FunctionsController(THauptForm& window) : FeatureController(window) {}

void FunctionsController::build(const FeaturePlaces& places) {
    places.seriesTabs->addTab(BuildSeriesPageFunctions(places.seriesTabs), QString());
    onClick(QStringLiteral("FktSpeedButton01"), [this] { FktSpeedButton01Click(); });
    onClick(QStringLiteral("FktSpeedButton02"), [this] { FktSpeedButton02Click(); });
    for (const QString& entry : kJpegEntries) {
        for (const QString& name :
             {QStringLiteral("FktBB_") + entry, QStringLiteral("HMenu_") + entry,
              QStringLiteral("PM01_") + entry}) {
            auto fire = [this, name] { FktJpgBitBtnClick(name); };
            if (name.startsWith(QLatin1String("FktBB_")))
                onClick(name, fire);
            else
                onTrigger(name, fire);
        }
    }
    onClick(QStringLiteral("FktBB_BMP_JPEG"), [this] { FktBmpBitBtnClick(); });
    // The abort button on the progress page the batch functions share with
    // the index pictures and thumbnails.
    onClick(QStringLiteral("FktBitBtn01"), &FunctionsController::FktBitBtn01Click);
    onTrigger(QStringLiteral("HMenu_") + kBitmapEntry, [this] { FktBmpBitBtnClick(); });
    onTrigger(QStringLiteral("PM01_") + kBitmapEntry, [this] { FktBmpBitBtnClick(); });
    control<QWidget>(kDestination)->installEventFilter(this);
}

void FunctionsController::windowCreated() {
    if (window().settings().BildschirmSpeichern)
        control<QLineEdit>(QStringLiteral("FktUnterverzeichnis"))
            ->setText(window().settings().UnterverzeichnisSonst);
}

bool FunctionsController::eventFilter(QObject* watched, QEvent* event) {
    if (parts::OpensChooser(event) && watched->objectName() == kDestination) {
        GuardedHandler(&window(), [this] { FktZielverzeichnisClick(); });
        return true;
    }
    return FeatureController::eventFilter(watched, event);
}

void FunctionsController::FktSpeedButton01Click() {
    window().setFileFilter(kJpegFilter);
    window().setJobEntriesVisible(kJpegEntries, true);
    window().setJobEntriesVisible({kBitmapEntry}, false);
    control<QStackedWidget>(QStringLiteral("FktNotebook01"))->setCurrentIndex(0);
}

void FunctionsController::FktSpeedButton02Click() {
    window().setFileFilter(kBitmapFilter);
    window().setJobEntriesVisible(kJpegEntries, false);
    window().setJobEntriesVisible({kBitmapEntry}, true);
    control<QStackedWidget>(QStringLiteral("FktNotebook01"))->setCurrentIndex(1);
}

BatchFunctionOptions FunctionsController::readOptions() const {
    BatchFunctionOptions options;
    options.recursive = control<QCheckBox>(QStringLiteral("FktRekursiv"))->isChecked();
    options.destination = ReadDestinationGroup(window(), QStringLiteral("Fkt"));
    return options;
}

void FunctionsController::FktJpgBitBtnClick(const QString& control) {
    RunJpegFunction(window().jobHost(), BatchFunctionOfControl(control), readOptions());
}

void FunctionsController::FktBmpBitBtnClick() {
    ConvertBitmapsToJpeg(window().jobHost(), readOptions());
}

void FunctionsController::FktBitBtn01Click() {
    window().stopFlags().BatchJobStop = 1;
}

void FunctionsController::FktZielverzeichnisClick() {
    chooseDestinationFolder(kDestination);
}
