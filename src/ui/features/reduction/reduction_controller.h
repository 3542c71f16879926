#pragma once
// The sub-page "JPEGs verkleinern": the reduction of the original files or of
// copies in the destination folder, and its abort button. Each handler reads
// its controls and calls one engine routine.

#include "ui/features/feature_controller.h"

class QWidget;

class ReductionController : public FeatureController {
public:
    explicit ReductionController(THauptForm& window);

    void build(const FeaturePlaces& places) override;

    // BitBtn_DV01, HMenu_DV, PM01_DV: the reduction.
    void BitBtn_DV01Click();
    // The abort button of the progress page.
    void BitBtn_DV02Click();

private:
    QWidget* buildReductionTab(QWidget* parent);
};
