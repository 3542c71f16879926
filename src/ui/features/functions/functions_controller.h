#pragma once
// The series tab "Sonstige Funktionen": the JPEG/BMP mode switch, the batch
// functions on JPEG files, the conversion of bitmap files, and the
// destination field's folder chooser. build() adds the page
// (functions_page.cpp) as the third series tab and binds it and its menu
// twins.

#include "jobs/functions/batch_functions.h"
#include "ui/features/feature_controller.h"

class QEvent;

// The function a control stands for, by its name: the anti-alias, optimise
// and black-and-white buttons and their menu entries.
BatchFunction BatchFunctionOfControl(const QString& objectName);

class FunctionsController : public FeatureController {
public:
    explicit FunctionsController(THauptForm& window);

    void build(const FeaturePlaces& places) override;
    // The stored sub-folder name, when the window keeps its values.
    void windowCreated() override;

    // "JPEG" and "BMP": the file filter, the menu entries and the notebook page.
    void FktSpeedButton01Click();
    void FktSpeedButton02Click();
    // FktBB_AntiAlising, FktBB_Optimieren, FktBB_SW and their six menu
    // entries; `control` names the one that fired.
    void FktJpgBitBtnClick(const QString& control);
    // FktBB_BMP_JPEG, HMenu_BMP_JPG, PM01_BMP_JPG.
    void FktBmpBitBtnClick();
    // The abort button of the batch progress page.
    void FktBitBtn01Click();
    // A click on the read-only destination field opens the folder chooser.
    void FktZielverzeichnisClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    BatchFunctionOptions readOptions() const;
};
