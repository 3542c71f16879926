// The page-change rules: which job entries of the menus are visible and
// enabled, which progress page shows and which file filter is active, as the
// user moves between the series tabs and their sub-pages.

#include "ui/main_window/hauptform.h"

#include "i18n/catalogue.h"
#include "ui/features/defect_scan/defect_scan_controller.h"
#include "ui/file_list/file_list_filter.h"
#include "ui/language/mnemonics.h"
#include "ui/main_window/main_window_parts.h"

#include <QAbstractButton>
#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolBar>

namespace {
const QStringList kAllJobEntries = {
    QStringLiteral("DDS"),         QStringLiteral("DDL"),        QStringLiteral("DV"),
    QStringLiteral("IndexBilder"), QStringLiteral("Thumbnails"), QStringLiteral("AntiAlising"),
    QStringLiteral("Optimieren"),  QStringLiteral("SW"),         QStringLiteral("BMP_JPG")};
const QStringList kJpegFunctionEntries = {QStringLiteral("AntiAlising"),
                                          QStringLiteral("Optimieren"), QStringLiteral("SW")};
} // namespace

void THauptForm::setJobEntriesVisible(const QStringList& suffixes, bool visible) {
    for (const QString& suffix : suffixes)
        for (const QString& prefix : {QStringLiteral("HMenu_"), QStringLiteral("PM01_")})
            control<QAction>(prefix + suffix)->setVisible(visible);
    enableMenus(jobRunning());
}

void THauptForm::setJobEntryEnabled(const QString& suffix, bool enabled) {
    control<QAction>(QStringLiteral("HMenu_") + suffix)->setEnabled(enabled);
    control<QAction>(QStringLiteral("PM01_") + suffix)->setEnabled(enabled);
}

void THauptForm::showProgressPage(int page) {
    control<QStackedWidget>(QStringLiteral("NBStatus01"))->setCurrentIndex(page);
}

void THauptForm::PageControl01Change(int tab) {
    control<QMenu>(QStringLiteral("HMenu_Aktionen"))->menuAction()->setVisible(tab == 0);
}

void THauptForm::HauptPageControl01Change(int tab) {
    setJobEntriesVisible(kAllJobEntries, false);
    const int defectsTab =
        control<QTabWidget>(QStringLiteral("GrafikPageControl01"))->currentIndex();
    const bool indexShown =
        control<QStackedWidget>(QStringLiteral("IdxNotebook01"))->currentIndex() == 0;
    const bool jpegShown =
        control<QStackedWidget>(QStringLiteral("FktNotebook01"))->currentIndex() == 0;
    switch (tab) {
    case 0:
        setJobEntriesVisible({QStringLiteral("DDS"), QStringLiteral("DDL"), QStringLiteral("DV")},
                             true);
        break;
    case 1:
        setJobEntriesVisible(
            {indexShown ? QStringLiteral("IndexBilder") : QStringLiteral("Thumbnails")}, true);
        break;
    case 2:
        setJobEntriesVisible(jpegShown ? kJpegFunctionEntries : QStringList{"BMP_JPG"}, true);
        break;
    default:
        break;
    }
    if (tab != 0) {
        if (parts::Tag(control<QWidget>(QStringLiteral("BitBtn_DDS03"))) == 1) {
            controller<DefectScanController>().leaveDefectResultView();
            setJobEntryEnabled(QStringLiteral("DDS"), defectsTab == 0);
            setJobEntryEnabled(QStringLiteral("DDL"), false);
            setJobEntryEnabled(QStringLiteral("DV"), defectsTab == 1);
        }
        showProgressPage(0);
    } else {
        showProgressPage(defectsTab == 0 ? 1 : 2);
    }
    if (tab != 3) {
        control<QStackedWidget>(QStringLiteral("HauptNotebook01"))->setCurrentIndex(0);
        control<QToolBar>(QStringLiteral("HauptToolBar01"))->setEnabled(true);
        control<QWidget>(QStringLiteral("BitBtnDupSuchen"))->setEnabled(true);
        auto* result = control<QAbstractButton>(QStringLiteral("BitBtnDupErgebnis"));
        result->setText(CatalogueText(3));
        result->setToolTip(CatalogueText(4));
        result->setStatusTip(CatalogueText(4));
        AddMnemonics(*this);
        parts::SetTag(result, 0);
    }
    setFileFilter(tab == 2 && !jpegShown ? kBitmapFilter : kJpegFilter);
}

void THauptForm::GrafikPageControl01Change(int tab) {
    if (tab == 0) {
        setJobEntryEnabled(QStringLiteral("DDS"), true);
        setJobEntryEnabled(QStringLiteral("DDL"), false);
        setJobEntryEnabled(QStringLiteral("DV"), false);
        showProgressPage(1);
    } else {
        controller<DefectScanController>().leaveDefectResultView();
        setJobEntryEnabled(QStringLiteral("DDS"), false);
        setJobEntryEnabled(QStringLiteral("DDL"), false);
        setJobEntryEnabled(QStringLiteral("DV"), true);
        showProgressPage(2);
    }
}
