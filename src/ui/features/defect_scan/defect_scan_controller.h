#pragma once
// The sub-page "Defekte JPEGs suchen": the scan, its abort button, the result
// view, the deletion of the found files, the destination field and the undo of
// the last move. Each handler reads its controls and calls one engine routine.

#include "jobs/defect_scan/defect_scan.h"
#include "ui/features/feature_controller.h"

class QEvent;
class QWidget;

class DefectScanController : public FeatureController, public DefectScanReporter {
public:
    explicit DefectScanController(THauptForm& window);

    void build(const FeaturePlaces& places) override;

    // BitBtn_DDS01, HMenu_DDS, PM01_DDS: the scan.
    void BitBtn_DDS01Click();
    // The abort button of the progress page.
    void BitBtn_DDS02Click();
    // The result view toggle.
    void BitBtn_DDS03Click();
    // HMenu_DDL, PM01_DDL: delete the found files.
    void HMenu_DDLClick();
    // A click on the read-only destination field opens the folder chooser.
    void GrafikZielverzeichnisClick();
    // The undo of the last move run (also the toolbar's undo button).
    void HMenuDateiRueckgaengigClick();

    // The undo entry after a scan: its texts, enabled after a move run whose
    // log is this run's, disabled otherwise; the toolbar button is only ever
    // enabled here.
    void prepareMoveUndo(bool moveMode) override;

    // Leaves the result view (BitBtn_DDS03 tagged 1) for the folder the tree
    // showed before it; nothing when the view is not shown.
    void leaveDefectResultView();
    // The folder the last scan or deletion put the defective files in.
    const QString& defectFolder() const { return m_defectFolder; }
    // The folder the result view returns the tree to.
    void setSavedTreeFolder(const QString& folder) { m_savedTreeFolder = folder; }

    // The stored page values and the folder a scan would fill.
    void windowCreated() override;
    // The texts outside the catalogue, in the current language.
    void applyLanguage() override;
    // The page values kept in the settings, into the controls.
    void showStoredValues();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildSearchTab(QWidget* parent);
    void connectMenuTwins();

    QString m_defectFolder;
    QString m_savedTreeFolder;
};
