// The handlers of the tab "Defekte JPEGs suchen": the scan, the result view,
// the deletion of the found files, the destination field and the undo of the
// last move. Each reads its controls and calls one engine routine.

#include "ui/main_window/hauptform.h"

#include "engine/defect_results.h"
#include "engine/defect_scan.h"
#include "engine/move_log.h"
#include "i18n/catalogue.h"
#include "ui/dialogs/select_dir_dialog.h"
#include "ui/main_window/main_window_parts.h"
#include "ui/main_window/radio_group.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>

void THauptForm::BitBtn_DDS01Click() {
    showProgressPage(1);
    parts::SetTag(control<QWidget>(QStringLiteral("BitBtn_DDS02")), 0);
    DefectScanOptions options;
    options.recursive = control<QCheckBox>(QStringLiteral("GrafikRekursiv"))->isChecked();
    options.move = control<RadioGroup>(QStringLiteral("RadioGroup_DDS01"))->itemIndex() == 1;
    options.destination = control<QLineEdit>(QStringLiteral("GrafikZielverzeichnis"))->text();
    m_defectFolder = ScanDefectiveJpegs(jobHost(), options).defectFolder;
}

void THauptForm::BitBtn_DDS03Click() {
    auto* toggle = control<QAbstractButton>(QStringLiteral("BitBtn_DDS03"));
    const bool enter = parts::Tag(toggle) == 0;
    parts::SetTag(toggle, enter ? 1 : 0);
    toggle->setText(CatalogueText(enter ? 9 : 8));
    if (enter) {
        m_savedTreeFolder = currentTreeFolder();
        selectTreeFolder(m_defectFolder);
    } else {
        selectTreeFolder(m_savedTreeFolder);
    }
    setJobEntryEnabled(QStringLiteral("DDS"), !enter);
    setJobEntryEnabled(QStringLiteral("DDL"), enter);
    setJobEntryEnabled(QStringLiteral("DV"), false);
}

void THauptForm::HMenu_DDLClick() {
    m_defectFolder = DeleteDefectiveFiles(
        jobHost(), control<QLineEdit>(QStringLiteral("GrafikZielverzeichnis"))->text());
}

void THauptForm::GrafikZielverzeichnisClick() {
    auto* field = control<QLineEdit>(QStringLiteral("GrafikZielverzeichnis"));
    const DestinationStart start =
        DestinationChooserStart(field->text(), PlatformSettingsDefaults().homeFolder);
    QString folder = start.text;
    if (start.openChooser)
        ChooseDirectory(folder, CatalogueText(9006), CatalogueText(9007), CurrentLanguageName());
    field->setText(folder);
}

void THauptForm::HMenuDateiRueckgaengigClick() {
    UndoLastMoveRun(jobHost());
    control<QAction>(QStringLiteral("HMenuDateiRueckgaengig"))->setEnabled(false);
}
