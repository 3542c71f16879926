#include "ui/features/defect_scan/defect_scan_controller.h"

#include "app/error_handler.h"
#include "fs/path_utils.h"
#include "i18n/catalogue.h"
#include "i18n/own_texts.h"
#include "jobs/defect_scan/defect_results.h"
#include "jobs/defect_scan/move_log.h"
#include "jobs/framework/job_controls.h"
#include "ui/features/defect_scan/defect_scan_page.h"
#include "ui/features/guarded_connect.h"
#include "ui/language/mnemonics.h"
#include "ui/main_window/main_window_parts.h"
#include "ui/widgets/radio_group.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
const QString kDestination = QStringLiteral("GrafikZielverzeichnis");
const QString kThorough = QStringLiteral("DefektGruendlich");
} // namespace

DefectScanController::DefectScanController(THauptForm& window) : FeatureController(window) {}

void DefectScanController::build(const FeaturePlaces& places) {
    places.seriesTabs->addTab(BuildSeriesPageDefects(places.seriesTabs), QString());
    auto* pictureTabs = control<QTabWidget>(QStringLiteral("GrafikPageControl01"));
    pictureTabs->addTab(buildSearchTab(pictureTabs), QString());
    // The abort button stands on the progress page, the destination field
    // above the sub-pages; both are shared with the reduction's layout.
    onClick(QStringLiteral("BitBtn_DDS02"), &DefectScanController::BitBtn_DDS02Click);
    control<QWidget>(kDestination)->installEventFilter(this);
    connectMenuTwins();
}

QWidget* DefectScanController::buildSearchTab(QWidget* parent) {
    auto* page = parts::Named(new QWidget(parent), "GrafikTabSheet01");
    auto* layout = new QHBoxLayout(page);
    auto* radio = new RadioGroup(QStringLiteral("RadioGroup_DDS01"), page);
    radio->setItems({QStringLiteral("kopieren"), QStringLiteral("verschieben")});
    radio->setItemIndex(0);
    radio->setMinimumWidth(230);
    auto* options = new QVBoxLayout;
    options->addWidget(radio);
    auto* thorough = new QCheckBox(page);
    thorough->setObjectName(kThorough);
    ConnectGuarded(thorough, &QCheckBox::toggled, this, [this] {
        window().settings().DefektGruendlich = control<QCheckBox>(kThorough)->isChecked();
    });
    options->addWidget(thorough);
    options->addStretch();
    layout->addLayout(options);
    auto* buttons = new QVBoxLayout;
    auto* search = parts::Button(page, "BitBtn_DDS01");
    ConnectGuarded(search, &QAbstractButton::clicked, this, [this] { BitBtn_DDS01Click(); });
    buttons->addWidget(search);
    auto* result = parts::Button(page, "BitBtn_DDS03");
    parts::SetTag(result, 0);
    ConnectGuarded(result, &QAbstractButton::clicked, this, [this] { BitBtn_DDS03Click(); });
    buttons->addWidget(result);
    buttons->addStretch();
    layout->addLayout(buttons);
    layout->addStretch();
    return page;
}

void DefectScanController::connectMenuTwins() {
    onTrigger("HMenu_DDS", &DefectScanController::BitBtn_DDS01Click);
    onTrigger("PM01_DDS", &DefectScanController::BitBtn_DDS01Click);
    onTrigger("HMenu_DDL", &DefectScanController::HMenu_DDLClick);
    onTrigger("PM01_DDL", &DefectScanController::HMenu_DDLClick);
    onTrigger("HMenuDateiRueckgaengig", &DefectScanController::HMenuDateiRueckgaengigClick);
}

bool DefectScanController::eventFilter(QObject* watched, QEvent* event) {
    // The destination field is read-only; a click, Enter or Space opens the
    // folder chooser.
    if (parts::OpensChooser(event) && watched->objectName() == kDestination) {
        GuardedHandler(&window(), [this] { GrafikZielverzeichnisClick(); });
        return true;
    }
    return FeatureController::eventFilter(watched, event);
}

void DefectScanController::BitBtn_DDS01Click() {
    window().showProgressPage(kDefectScanPage);
    parts::SetTag(control<QWidget>(QStringLiteral("BitBtn_DDS02")), 0);
    DefectScanOptions options;
    options.recursive = control<QCheckBox>(QStringLiteral("GrafikRekursiv"))->isChecked();
    options.move = control<RadioGroup>(QStringLiteral("RadioGroup_DDS01"))->itemIndex() == 1;
    options.destination = control<QLineEdit>(kDestination)->text();
    options.thorough = control<QCheckBox>(kThorough)->isChecked();
    m_defectFolder = ScanDefectiveJpegs(window().jobHost(), options, this).defectFolder;
}

void DefectScanController::BitBtn_DDS02Click() {
    parts::SetTag(control<QWidget>(QStringLiteral("BitBtn_DDS02")), 0);
    window().stopFlags().JpegJobStop = 1;
}

void DefectScanController::BitBtn_DDS03Click() {
    auto* toggle = control<QAbstractButton>(QStringLiteral("BitBtn_DDS03"));
    const bool enter = parts::Tag(toggle) == 0;
    parts::SetTag(toggle, enter ? 1 : 0);
    toggle->setText(CatalogueText(enter ? 9 : 8));
    if (enter) {
        m_savedTreeFolder = window().currentTreeFolder();
        window().selectTreeFolder(m_defectFolder);
    } else {
        window().selectTreeFolder(m_savedTreeFolder);
    }
    window().setJobEntryEnabled(QStringLiteral("DDS"), !enter);
    window().setJobEntryEnabled(QStringLiteral("DDL"), enter);
    window().setJobEntryEnabled(QStringLiteral("DV"), false);
    AddMnemonics(window());
}

void DefectScanController::leaveDefectResultView() {
    auto* result = control<QAbstractButton>(QStringLiteral("BitBtn_DDS03"));
    if (parts::Tag(result) != 1)
        return;
    parts::SetTag(result, 0);
    result->setText(CatalogueText(8));
    AddMnemonics(window());
    // A folder that cannot be shown leaves the tree as it is.
    window().selectTreeFolder(m_savedTreeFolder);
}

void DefectScanController::HMenu_DDLClick() {
    m_defectFolder =
        DeleteDefectiveFiles(window().jobHost(), control<QLineEdit>(kDestination)->text());
}

void DefectScanController::GrafikZielverzeichnisClick() {
    chooseDestinationFolder(kDestination);
}

void DefectScanController::HMenuDateiRueckgaengigClick() {
    // Refused while another run moves files: the undo stays to be done.
    if (!UndoLastMoveRun(window().jobHost()).busy)
        control<QAction>(QStringLiteral("HMenuDateiRueckgaengig"))->setEnabled(false);
}

void DefectScanController::prepareMoveUndo(bool moveMode) {
    QAction* entry = control<QAction>(QStringLiteral("HMenuDateiRueckgaengig"));
    QAction* button = control<QAction>(QStringLiteral("TB01Rueckgaengig"));
    entry->setText(CatalogueText(801));
    entry->setToolTip(CatalogueText(806));
    entry->setStatusTip(CatalogueText(806));
    button->setToolTip(CatalogueText(801));
    button->setStatusTip(CatalogueText(801));
    entry->setEnabled(moveMode);
    if (moveMode)
        button->setEnabled(true);
    AddMnemonics(window());
}

void DefectScanController::applyLanguage() {
    auto* thorough = control<QCheckBox>(kThorough);
    thorough->setText(OwnText("thorough.check"));
    thorough->setToolTip(OwnText("thorough.check.hint"));
    thorough->setStatusTip(OwnText("thorough.check.hint"));
}

void DefectScanController::windowCreated() {
    if (window().settings().BildschirmSpeichern)
        showStoredValues();
    // Where a scan without destination would put its files: the working
    // folder, never the program's own folder.
    m_defectFolder = DefectFolderFor(window().settings(), QString());
}

void DefectScanController::showStoredValues() {
    control<QCheckBox>(kThorough)->setChecked(window().settings().DefektGruendlich);
}
