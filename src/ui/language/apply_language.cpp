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

using enum CatalogueId;

// What a table puts on a control: a catalogue text, nothing (kKeep leaves the
// control as it is) or, for a hint the catalogue has no text for, the empty
// text (kNoHint), so no hint of the language before stays behind.
struct Text {
    enum class Kind : unsigned char { Keep, Empty, Entry };
    Kind kind = Kind::Keep;
    CatalogueId id{};

    constexpr Text() = default;
    constexpr Text(CatalogueId entry) : kind(Kind::Entry), id(entry) {}
    constexpr explicit Text(Kind what) : kind(what) {}

    bool keep() const { return kind == Kind::Keep; }
    QString text() const { return kind == Kind::Entry ? CatalogueText(id) : QString(); }
};
constexpr Text kKeep{};
constexpr Text kNoHint{Text::Kind::Empty};

struct Texts {
    const char* control;
    Text caption;
    Text hint;
};

// Series-page controls.
constexpr Texts kSeriesPages[] = {
    {"GrafikRekursiv", SearchRecursively, SearchRecursivelyHint},
    {"IdxRekursiv", SearchRecursively, SearchRecursivelyHint},
    {"FktRekursiv", SearchRecursively, SearchRecursivelyHint},
    {"GrafikLabel01", DestinationDirectory, kKeep},
    {"GrafikZielverzeichnis", kKeep, ChooseDestinationHint},
    {"BitBtn_DDS01", SearchInvalidFiles, SearchInvalidFilesHint},
    {"CheckBox_DV02", RemoveProgramEntries, kNoHint},
    {"CheckBox_DV03", RemoveComments, kNoHint},
    {"CheckBox_DV04", RemoveLinkedEntries, kNoHint},
    {"BitBtn_DV01", ReduceFiles, ReduceFilesHint},
    {"IdxSpeedButton01", IndexPics, kNoHint},
    {"IdxSpeedButton02", Thumbnails, kNoHint},
    {"IdxGroupBox03", ResultDestination, kNoHint},
    {"FktGroupBox01", ResultDestination, kNoHint},
    {"IdxZielRadioButton01", ChosenDirectory, kKeep},
    {"FktZielRadioButton01", ChosenDirectory, kKeep},
    {"IdxZielRadioButton02", PictureSourceDirectory, kKeep},
    {"FktZielRadioButton02", PictureSourceDirectory, kKeep},
    {"IdxZielRadioButton03", PictureSourceDirectoryPlus, kKeep},
    {"FktZielRadioButton03", PictureSourceDirectoryPlus, kKeep},
    {"IdxZielverzeichnis", kKeep, ChooseDirectoryHint},
    {"FktZielverzeichnis", kKeep, ChooseDirectoryHint},
    {"IdxLabel01", ThumbsPerIndexPic, kKeep},
    {"IdxLabel02", ThumbsPerRow, kKeep},
    {"IdxLabel03", SizeOfThumbs, kKeep},
    {"IdxEdit01", kKeep, ThumbsPerIndexPicHint},
    {"IdxEdit02", kKeep, ThumbsPerRowHint},
    {"IdxEdit03", kKeep, SizeOfThumbsHint},
    {"IdxGroupBox01", NameOfIndexFiles, kNoHint},
    {"IdxRadioButton01", SeriesName, kKeep},
    {"IdxRadioButton02", MainName, kKeep},
    {"IdxLabel04", IndexPrefix, kKeep},
    {"IdxLabel05", IndexPostfix, kKeep},
    {"IdxGroupBox02", SeriesRecognition, kNoHint},
    {"IdxSLabel01", AllLettersEqual, kKeep},
    {"IdxSLabel02", SameLettersAtBeginning, kKeep},
    {"IdxBitBtn01", CreateIndexPics, kNoHint},
    {"ThumbLabel01", SizeOfTheThumbs, kKeep},
    {"ThumbGroupBox01", NameOfThumbFiles, kNoHint},
    {"ThumbLabel02", ThumbPrefix, kKeep},
    {"ThumbLabel03", ThumbPostfix, kKeep},
    {"ThumbBitBtn01", CreateThumbnails, kNoHint},
    {"FktSpeedButton01", FunctionsJpeg, kNoHint},
    {"FktSpeedButton02", FunctionsBmp, kNoHint},
    {"FktBB_AntiAlising", FunctionAntiAliasing, kNoHint},
    {"FktBB_Optimieren", FunctionOptimise, kNoHint},
    {"FktBB_SW", FunctionBlackWhite, kNoHint},
    {"FktBB_BMP_JPEG", FunctionBmpToJpg, kNoHint},
    {"BitBtnDupSuchen", SearchDuplicates, SearchDuplicatesHint},
    {"BitBtnDupLeereOrdner", DeleteEmptyFolders, kNoHint},
    {"Label_DDS01", NumberOfInvalidFiles, kKeep},
    {"Label_DDS03", ScanProgress, kKeep},
    {"Label_DDS04", ScanFilesToTest, kKeep},
    {"Label_DDS06", ScanTestedFiles, kKeep},
    {"BitBtn_DDS02", ScanAbort, ScanAbortHint},
    {"Label_DV02", ActualSavings, kKeep},
    {"Label_DV04", ReductionProgress, kKeep},
    {"Label_DV05", ReductionFilesToTest, kKeep},
    {"Label_DV07", ReductionTestedFiles, kKeep},
    {"BitBtn_DV02", ReductionAbort, ReductionAbortHint},
    {"FktLabel01", FunctionsProgress, kKeep},
    {"FktLabel02", FilesToManipulate, kKeep},
    {"FktLabel03", ManipulatedFiles, kKeep},
    {"FktBitBtn01", FunctionsAbort, kNoHint},
    {"Label_Dup01", DuplicateFilesToTest, kKeep},
    {"Label_Dup03", PossibleDuplicates, kKeep},
    {"Label_Dup05", FoundDuplicates, kKeep},
    {"BitBtnDupAbbrechen", DuplicatesAbort, kNoHint},
    {"BitBtn_Dup01", MarkDuplicates, kNoHint},
    {"BitBtn_Dup02", DeleteMarkedDuplicates, kNoHint},
    {"BitBtn_Dup03", DeleteList, kNoHint},
};

constexpr Texts kMainMenu[] = {
    {"HMenu_Datei", MenuFile, kNoHint},
    {"HMenuDateiRueckgaengig", UndoMove, UndoMoveHint},
    {"HMenuDateiOPT", MenuOptions, MenuOptionsHint},
    {"HMenu_Sprache", MenuChooseLanguage, kNoHint},
    {"HMenuDateiProgDeInst", DeinstallProgram, kNoHint},
    {"HMenu_ProgEnde", QuitProgram, QuitProgramHint},
    {"HMenu_Aktionen", MenuActions, kNoHint},
    {"HMenu_DDS", MenuSearchInvalidFiles, MenuSearchInvalidFilesHint},
    {"HMenu_DDL", DeleteInvalidFiles, DeleteInvalidFilesHint},
    {"HMenu_DV", MenuReduceFiles, MenuReduceFilesHint},
    {"HMenu_IndexBilder", MenuCreateIndexPictures, MenuCreateIndexPicturesHint},
    {"HMenu_Thumbnails", MenuCreateThumbnails, MenuCreateThumbnailsHint},
    {"HMenu_AntiAlising", MenuAntiAliasing, kNoHint},
    {"HMenu_Optimieren", MenuOptimise, kNoHint},
    {"HMenu_SW", MenuBlackAndWhite, kNoHint},
    {"HMenu_BMP_JPG", MenuBmpToJpg, kNoHint},
    {"HMenu_Info", MenuInfo, kNoHint},
    {"HMenuInfoHilfe", MenuHelp, MenuHelpHint},
    {"HMenu_InfoF", AboutInfo, kNoHint},
};

constexpr Texts kPopupMenu[] = {
    {"PM01_DDS", MenuSearchInvalidFiles, MenuSearchInvalidFilesHint},
    {"PM01_DDL", DeleteInvalidFiles, DeleteInvalidFilesHint},
    {"PM01_DV", MenuReduceFiles, MenuReduceFilesHint},
    {"PM01_IndexBilder", MenuCreateIndexPictures, MenuCreateIndexPicturesHint},
    {"PM01_Thumbnails", MenuCreateThumbnails, MenuCreateThumbnailsHint},
    {"PM01_AntiAlising", MenuAntiAliasing, kNoHint},
    {"PM01_Optimieren", MenuOptimise, kNoHint},
    {"PM01_SW", MenuBlackAndWhite, kNoHint},
    {"PM01_BMP_JPG", MenuBmpToJpg, kNoHint},
    {"PM01_DateienMarkieren", MarkAllFiles, kNoHint},
    {"PM01_Eigenschaften", Properties, kNoHint},
};

constexpr Texts kPageCaptions[] = {
    {"SerienTabSheet01", TestJpegs, kKeep},
    {"SerienTabSheet02", IndexPicsAndThumbnails, kKeep},
    {"SerienTabSheet03", AdditionalFunctions, kKeep},
    {"SerienTabSheet04", SearchDuplicatesPage, kKeep},
    {"GrafikTabSheet01", SearchInvalidJpegs, kKeep},
    {"GrafikTabSheet02", ReduceJpegs, kKeep},
    {"HauptTabSheet01", ManipulateFileSeries, kKeep},
    {"HauptTabSheet02", ManipulateSingleFiles, kKeep},
};

constexpr Texts kToolbarHints[] = {
    {"TB01Optionen", kKeep, MenuOptionsHint},
    {"TB01Hilfe", kKeep, MenuHelpHint},
};

constexpr Texts kEditorPage[] = {
    {"TB02LoadPic", kKeep, LoadFile},
    {"TB02SavePic", kKeep, SaveFile},
    {"EinzelTabSheet01", ManipulatePicture, kKeep},
    {"BitBtnInvertieren", Invert, kNoHint},
    {"BitBtnSchwarzWeiss", BlackWhite, kNoHint},
    {"BitBtnAntiAlising", AntiAliasing, kNoHint},
    {"BitBtnSchaerfen", Sharpen, kNoHint},
    {"BitBtnOptimieren", Optimize, kNoHint},
    {"BitBtnSpiegelungHor", FlipHorizontal, kNoHint},
    {"BitBtnSpiegelungVer", FlipVertical, kNoHint},
    {"BitBtnUndo", EditorUndo, kNoHint},
    {"BitBtnHelligkeit01", BrightnessPlus, kNoHint},
    {"BitBtnHelligkeit02", BrightnessMinus, kNoHint},
    {"BitBtnKontrast01", ContrastPlus, kNoHint},
    {"BitBtnKontrast02", ContrastMinus, kNoHint},
    {"BitBtnSaettigung01", SaturationPlus, kNoHint},
    {"BitBtnSaettigung02", SaturationMinus, kNoHint},
    {"BitBtnRotInGruen", RedToGreen, kNoHint},
    {"BitBtnRotInBlau", RedToBlue, kNoHint},
    {"BitBtnGruenInRot", GreenToRed, kNoHint},
    {"BitBtnGruenInBlau", GreenToBlue, kNoHint},
    {"BitBtnBlauInRot", BlueToRed, kNoHint},
    {"BitBtnBlauInGruen", BlueToGreen, kNoHint},
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
        if (!texts.caption.keep())
            SetCaption(target, texts.caption.text());
        if (!texts.hint.keep())
            SetHint(target, texts.hint.text());
    }
}

// Clear, caption, items (and hint) in the established order. The choice the
// user made stays: a switch of language must not turn "reduce copies" back
// into "reduce the originals" for the next run. A group without a choice
// takes its first item.
void RebuildRadioGroup(QWidget& window, const char* name, CatalogueId caption,
                       std::initializer_list<CatalogueId> items, Text hint, bool hintBeforeItems) {
    auto* group = window.findChild<RadioGroup*>(QString::fromLatin1(name));
    if (!group)
        return;
    const int chosen = group->itemIndex();
    group->clearItems();
    group->setTitle(CatalogueText(caption));
    if (hintBeforeItems)
        SetHint(group, hint.text());
    for (const CatalogueId item : items)
        group->addItem(CatalogueText(item));
    if (!hintBeforeItems)
        SetHint(group, hint.text());
    group->setItemIndex(chosen >= 0 && chosen < group->count() ? chosen : 0);
}

void ApplyToggleCaptions(QWidget& window) {
    if (auto* result = window.findChild<QAbstractButton*>(QStringLiteral("BitBtn_DDS03")))
        result->setText(
            CatalogueText(result->property("Tag").toInt() == 1 ? StartDirectory : ViewResult));
    if (auto* result = window.findChild<QAbstractButton*>(QStringLiteral("BitBtnDupErgebnis"))) {
        const bool shown = result->property("Tag").toInt() == 1;
        result->setText(CatalogueText(shown ? DirectoryView : ViewResults));
        SetHint(result, CatalogueText(shown ? BackToDirectoryView : ViewResultsHint));
    }
}

} // namespace

void ApplyLanguage(QWidget& mainWindow) {
    ApplyPass(mainWindow, kSeriesPages);
    RebuildRadioGroup(mainWindow, "RadioGroup_DDS01", InvalidFiles,
                      {CopyToDestination, MoveToDestination}, CopyOrMoveHint, false);
    RebuildRadioGroup(mainWindow, "RadioGroup_DV01", ReductionOptions,
                      {ReduceOriginalFiles, ReduceCopies}, kNoHint, false);
    ApplyToggleCaptions(mainWindow);
    ApplyPass(mainWindow, kMainMenu);
    ApplyPass(mainWindow, kPopupMenu);
    ApplyPass(mainWindow, kPageCaptions);
    ApplyPass(mainWindow, kToolbarHints);
    ApplyPass(mainWindow, kEditorPage);
    RebuildRadioGroup(mainWindow, "RadioGroupFarben", ActionSelection,
                      {Adapt, Transformation, ChannelExchange}, kNoHint, true);
}
