#pragma once
// The series tab "Duplikate suchen" and the duplicate result page: the search,
// the switch between the file browser and the result list, the removal of
// empty folders, and the result list's buttons (mark, trash the marked files,
// clear) and its double click. Each handler reads its controls and calls one
// engine routine.

#include "ui/features/feature_controller.h"

class QEvent;
class QListWidget;

class DuplicatesController : public FeatureController {
public:
    explicit DuplicatesController(THauptForm& window);

    // The series tab and the result page, with their controls connected.
    void build(const FeaturePlaces& places) override;

    // BitBtnDupSuchen: the search over the folder tree's selected folder.
    void BitBtnDupSuchenClick();
    // BitBtnDupErgebnis: the result page on or off.
    void BitBtnDupErgebnisClick();
    // The abort button of the duplicates' progress page.
    void BitBtnDupAbbrechenClick();
    // BitBtnDupLeereOrdner: the removal of empty folders.
    void BitBtnDupLeereOrdnerClick();
    // BitBtn_Dup01: selects every file of a group but its first.
    void BitBtn_Dup01Click();
    // BitBtn_Dup02: the selected files to the trash, their lines removed.
    void BitBtn_Dup02Click();
    // BitBtn_Dup03: clears the result list after a question.
    void BitBtn_Dup03Click();
    // A double click on the result list opens the current line's file.
    void ListBox_Dup02DblClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QListWidget* resultList() const;
};
