#pragma once
// The sub-page "Ähnliche Bilder" of the duplicates tab and its result page:
// the search with its threshold and same-picture mode, the switch between
// the file browser and the groups, marking, the marked pictures to the
// trash, clearing, and opening a picture by a double click. Each handler
// reads its controls and calls one engine routine.

#include "ui/features/feature_controller.h"

class SimilarResultView;

class SimilarController : public FeatureController {
public:
    explicit SimilarController(THauptForm& window);

    void build(const FeaturePlaces& places) override;
    void applyLanguage() override;

    // BitBtnSimSuchen: the search over the folder tree's selected folder.
    void BitBtnSimSuchenClick();
    // BitBtnSimErgebnis: the result page on or off.
    void BitBtnSimErgebnisClick();
    // BitBtnSimAbbrechen (progress page): stops the search after its picture.
    void BitBtnSimAbbrechenClick();
    // BitBtn_Sim01: marks every picture of each group but the keeper.
    void BitBtn_Sim01Click();
    // BitBtn_Sim02: the marked pictures to the trash, after the questions.
    void BitBtn_Sim02Click();
    // BitBtn_Sim03: clears the result after a question.
    void BitBtn_Sim03Click();
    // A double click on a picture opens it with the desktop's program.
    void ListView_Sim01DblClick(int row, int column);

private:
    SimilarResultView* resultView() const;
    void showResults(bool on);
    // Leaves the result page when its tab or sub-page is left.
    void followPageChange();

    QWidget* m_resultPage = nullptr;
};
