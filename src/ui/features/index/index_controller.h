#pragma once
// The series tab "Indexbilder / Thumbnails": the two jobs and the field
// handlers of the tab, and the switch between its two sub-pages. build() adds
// the page (index_page.cpp) as the second series tab. Each handler reads its
// controls and calls one engine routine.

#include "jobs/index/index_jobs.h"
#include "ui/features/feature_controller.h"

class QEvent;

class IndexController : public FeatureController {
public:
    explicit IndexController(THauptForm& window);

    void build(const FeaturePlaces& places) override;
    // The stored sub-folder name, when the window keeps its values.
    void windowCreated() override;

    // "Indexbilder" and "Thumbnails": the sub-page, its menu entries, and the
    // sub-folder field, which keeps each sub-page's own name.
    void IdxSpeedButton01Click();
    void IdxSpeedButton02Click();
    // IdxBitBtn01, HMenu_IndexBilder, PM01_IndexBilder.
    void IdxBitBtn01Click();
    // ThumbBitBtn01, HMenu_Thumbnails, PM01_Thumbnails.
    void ThumbBitBtn01Click();
    // Both naming radios: the series group shows while "Serienname" is checked.
    void IdxRadioButtonOnClick();
    // A click into a prefix or postfix field checks "Serienname".
    void IdxPraePostOnClick();
    // A click into the stem name field checks "Stammname".
    void IdxStammnameClick();
    // A click on IdxZielverzeichnis opens the folder chooser for that field
    // (FktZielverzeichnis has the same handler in the functions' controller).
    void IdxZielverzeichnisClick(const QString& field);

    // What the controls say, as the jobs take it.
    IndexJobOptions indexOptions() const;
    ThumbnailJobOptions thumbnailOptions() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DestinationChoice destination() const;
    // An up-down value, read as the signed 16-bit number it always was.
    int upDownValue(const char* name) const;
};
