#include "ui/language/apply_language.h"

#include "i18n/catalogue.h"
#include "ui/widgets/radio_group.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QWidget>

#include <initializer_list>

namespace {

// caption or hint 0: not assigned.
struct Texts {
    const char* control;
    int caption;
    int hint;
};

// Series-page controls.
constexpr Texts kSeriesPages[] = {
    {"GrafikRekursiv", 10, 11},
    {"IdxRekursiv", 10, 11},
    {"FktRekursiv", 10, 11},
    {"GrafikLabel01", 12, 0},
    {"GrafikZielverzeichnis", 0, 13},
    {"BitBtn_DDS01", 18, 19},
    {"CheckBox_DV02", 24, 25},
    {"CheckBox_DV03", 26, 27},
    {"CheckBox_DV04", 28, 29},
    {"BitBtn_DV01", 30, 31},
    {"IdxSpeedButton01", 32, 33},
    {"IdxSpeedButton02", 34, 35},
    {"IdxGroupBox03", 36, 37},
    {"FktGroupBox01", 36, 37},
    {"IdxZielRadioButton01", 38, 0},
    {"FktZielRadioButton01", 38, 0},
    {"IdxZielRadioButton02", 39, 0},
    {"FktZielRadioButton02", 39, 0},
    {"IdxZielRadioButton03", 40, 0},
    {"FktZielRadioButton03", 40, 0},
    {"IdxZielverzeichnis", 0, 41},
    {"FktZielverzeichnis", 0, 41},
    {"IdxLabel01", 42, 0},
    {"IdxLabel02", 43, 0},
    {"IdxLabel03", 44, 0},
    {"IdxEdit01", 0, 45},
    {"IdxEdit02", 0, 46},
    {"IdxEdit03", 0, 47},
    {"IdxGroupBox01", 48, 49},
    {"IdxRadioButton01", 50, 0},
    {"IdxRadioButton02", 51, 0},
    {"IdxLabel04", 52, 0},
    {"IdxLabel05", 53, 0},
    {"IdxGroupBox02", 54, 55},
    {"IdxSLabel01", 56, 0},
    {"IdxSLabel02", 57, 0},
    {"IdxBitBtn01", 58, 59},
    {"ThumbLabel01", 60, 0},
    {"ThumbGroupBox01", 61, 62},
    {"ThumbLabel02", 63, 0},
    {"ThumbLabel03", 64, 0},
    {"ThumbBitBtn01", 65, 66},
    {"FktSpeedButton01", 67, 68},
    {"FktSpeedButton02", 69, 70},
    {"FktBB_AntiAlising", 71, 72},
    {"FktBB_Optimieren", 73, 74},
    {"FktBB_SW", 75, 76},
    {"FktBB_BMP_JPEG", 77, 78},
    {"BitBtnDupSuchen", 79, 80},
    {"BitBtnDupLeereOrdner", 81, 82},
    {"Label_DDS01", 83, 0},
    {"Label_DDS03", 84, 0},
    {"Label_DDS04", 85, 0},
    {"Label_DDS06", 86, 0},
    {"BitBtn_DDS02", 87, 88},
    {"Label_DV02", 89, 0},
    {"Label_DV04", 90, 0},
    {"Label_DV05", 91, 0},
    {"Label_DV07", 92, 0},
    {"BitBtn_DV02", 93, 94},
    {"FktLabel01", 95, 0},
    {"FktLabel02", 96, 0},
    {"FktLabel03", 97, 0},
    {"FktBitBtn01", 98, 99},
    {"Label_Dup01", 100, 0},
    {"Label_Dup03", 101, 0},
    {"Label_Dup05", 102, 0},
    {"BitBtnDupAbbrechen", 103, 104},
    {"BitBtn_Dup01", 105, 106},
    {"BitBtn_Dup02", 107, 108},
    {"BitBtn_Dup03", 109, 110},
};

constexpr Texts kMainMenu[] = {
    {"HMenu_Datei", 802, 803},
    {"HMenuDateiRueckgaengig", 801, 806},
    {"HMenuDateiOPT", 807, 808},
    {"HMenu_Sprache", 809, 810},
    {"HMenuDateiProgDeInst", 813, 814},
    {"HMenu_ProgEnde", 815, 816},
    {"HMenu_Aktionen", 817, 818},
    {"HMenu_DDS", 819, 822},
    {"HMenu_DDL", 823, 824},
    {"HMenu_DV", 825, 826},
    {"HMenu_IndexBilder", 827, 828},
    {"HMenu_Thumbnails", 829, 830},
    {"HMenu_AntiAlising", 831, 832},
    {"HMenu_Optimieren", 833, 834},
    {"HMenu_SW", 835, 836},
    {"HMenu_BMP_JPG", 837, 838},
    {"HMenu_Info", 839, 840},
    {"HMenuInfoHilfe", 841, 842},
    {"HMenu_InfoF", 843, 844},
};

constexpr Texts kPopupMenu[] = {
    {"PM01_DDS", 819, 822},
    {"PM01_DDL", 823, 824},
    {"PM01_DV", 825, 826},
    {"PM01_IndexBilder", 827, 828},
    {"PM01_Thumbnails", 829, 830},
    {"PM01_AntiAlising", 831, 832},
    {"PM01_Optimieren", 833, 834},
    {"PM01_SW", 835, 836},
    {"PM01_BMP_JPG", 837, 838},
    {"PM01_DateienMarkieren", 845, 846},
    {"PM01_Eigenschaften", 847, 848},
};

constexpr Texts kPageCaptions[] = {
    {"SerienTabSheet01", 700, 0}, {"SerienTabSheet02", 701, 0}, {"SerienTabSheet03", 702, 0},
    {"SerienTabSheet04", 703, 0}, {"GrafikTabSheet01", 725, 0}, {"GrafikTabSheet02", 726, 0},
    {"HauptTabSheet01", 730, 0},  {"HauptTabSheet02", 731, 0},
};

constexpr Texts kToolbarHints[] = {
    {"TB01Optionen", 0, 808},
    {"TB01Hilfe", 0, 842},
};

constexpr Texts kEditorPage[] = {
    {"TB02LoadPic", 0, 111},           {"TB02SavePic", 0, 113},
    {"EinzelTabSheet01", 115, 0},      {"BitBtnInvertieren", 116, 117},
    {"BitBtnSchwarzWeiss", 118, 119},  {"BitBtnAntiAlising", 120, 121},
    {"BitBtnSchaerfen", 122, 123},     {"BitBtnOptimieren", 124, 125},
    {"BitBtnSpiegelungHor", 126, 127}, {"BitBtnSpiegelungVer", 128, 129},
    {"BitBtnUndo", 130, 131},          {"BitBtnHelligkeit01", 132, 133},
    {"BitBtnHelligkeit02", 134, 135},  {"BitBtnKontrast01", 136, 137},
    {"BitBtnKontrast02", 138, 139},    {"BitBtnSaettigung01", 140, 141},
    {"BitBtnSaettigung02", 142, 143},  {"BitBtnRotInGruen", 144, 145},
    {"BitBtnRotInBlau", 146, 147},     {"BitBtnGruenInRot", 148, 149},
    {"BitBtnGruenInBlau", 150, 151},   {"BitBtnBlauInRot", 152, 153},
    {"BitBtnBlauInGruen", 154, 155},
};

// A page of a tab widget takes its caption as the tab's text.
bool SetTabCaption(QWidget* page, const QString& text) {
    for (QWidget* up = page->parentWidget(); up; up = up->parentWidget()) {
        if (auto* tabs = qobject_cast<QTabWidget*>(up)) {
            const int index = tabs->indexOf(page);
            if (index < 0)
                return false;
            tabs->setTabText(index, text);
            return true;
        }
    }
    return false;
}

void SetCaption(QObject* target, const QString& text) {
    if (auto* action = qobject_cast<QAction*>(target))
        action->setText(text);
    else if (auto* menu = qobject_cast<QMenu*>(target))
        menu->setTitle(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(target))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(target))
        label->setText(text);
    else if (auto* box = qobject_cast<QGroupBox*>(target))
        box->setTitle(text);
    else if (auto* widget = qobject_cast<QWidget*>(target))
        SetTabCaption(widget, text);
}

void SetHint(QObject* target, const QString& text) {
    if (auto* menu = qobject_cast<QMenu*>(target))
        target = menu->menuAction();
    if (auto* action = qobject_cast<QAction*>(target)) {
        action->setToolTip(text);
        action->setStatusTip(text);
    } else if (auto* widget = qobject_cast<QWidget*>(target)) {
        widget->setToolTip(text);
        widget->setStatusTip(text);
    }
}

QObject* Find(QWidget& window, const char* name) {
    return window.findChild<QObject*>(QString::fromLatin1(name));
}

template <std::size_t N> void ApplyPass(QWidget& window, const Texts (&pass)[N]) {
    for (const Texts& texts : pass) {
        QObject* target = Find(window, texts.control);
        if (!target)
            continue;
        if (texts.caption)
            SetCaption(target, CatalogueText(texts.caption));
        if (texts.hint)
            SetHint(target, CatalogueText(texts.hint));
    }
}

// Clear, caption, items (and hint) in the established order. The choice the
// user made stays: a switch of language must not turn "reduce copies" back
// into "reduce the originals" for the next run. A group without a choice
// takes its first item.
void RebuildRadioGroup(QWidget& window, const char* name, int caption,
                       std::initializer_list<int> items, int hint, bool hintBeforeItems) {
    auto* group = window.findChild<RadioGroup*>(QString::fromLatin1(name));
    if (!group)
        return;
    const int chosen = group->itemIndex();
    group->clearItems();
    group->setTitle(CatalogueText(caption));
    if (hintBeforeItems)
        SetHint(group, CatalogueText(hint));
    for (const int item : items)
        group->addItem(CatalogueText(item));
    if (!hintBeforeItems)
        SetHint(group, CatalogueText(hint));
    group->setItemIndex(chosen >= 0 && chosen < group->count() ? chosen : 0);
}

void ApplyToggleCaptions(QWidget& window) {
    if (auto* result = window.findChild<QAbstractButton*>(QStringLiteral("BitBtn_DDS03")))
        result->setText(CatalogueText(result->property("Tag").toInt() == 1 ? 9 : 8));
    if (auto* result = window.findChild<QAbstractButton*>(QStringLiteral("BitBtnDupErgebnis"))) {
        const bool shown = result->property("Tag").toInt() == 1;
        result->setText(CatalogueText(shown ? 1 : 3));
        SetHint(result, CatalogueText(shown ? 2 : 4));
    }
}

} // namespace

void ApplyLanguage(QWidget& mainWindow) {
    ApplyPass(mainWindow, kSeriesPages);
    RebuildRadioGroup(mainWindow, "RadioGroup_DDS01", 14, {15, 16}, 17, false);
    RebuildRadioGroup(mainWindow, "RadioGroup_DV01", 20, {21, 22}, 23, false);
    ApplyToggleCaptions(mainWindow);
    ApplyPass(mainWindow, kMainMenu);
    ApplyPass(mainWindow, kPopupMenu);
    ApplyPass(mainWindow, kPageCaptions);
    ApplyPass(mainWindow, kToolbarHints);
    ApplyPass(mainWindow, kEditorPage);
    RebuildRadioGroup(mainWindow, "RadioGroupFarben", 156, {158, 159, 160}, 157, true);
}
