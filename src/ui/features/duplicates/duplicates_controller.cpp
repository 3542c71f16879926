#include "ui/features/duplicates/duplicates_controller.h"

#include "app/error_handler.h"
#include "app/open_with_program.h"
#include "base/scope_exit.h"
#include "i18n/catalogue.h"
#include "jobs/duplicates/duplicate_results.h"
#include "jobs/duplicates/find_duplicates.h"
#include "jobs/empty_folders/empty_folders.h"
#include "jobs/framework/job_controls.h"
#include "ui/features/duplicates/duplicates_pages.h"
#include "ui/features/guarded_connect.h"
#include "ui/language/mnemonics.h"
#include "ui/main_window/main_window_parts.h"

#include <QAbstractButton>
#include <QEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolBar>

namespace {

constexpr int kDirectoryView = 1;
constexpr int kBackToDirectoryView = 2;
constexpr int kViewResults = 3;
constexpr int kViewResultsHint = 4;
constexpr int kNoApplication = 9005;

constexpr int kBrowserPage = 0;
constexpr int kResultPage = 1;

bool IsEnterKey(const QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
           (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

} // namespace

DuplicatesController::DuplicatesController(THauptForm& window) : FeatureController(window) {}

void DuplicatesController::build(const FeaturePlaces& places) {
    places.seriesTabs->addTab(BuildSeriesPageDuplicates(places.seriesTabs), QString());
    places.upperPages->addWidget(BuildDuplicateResultPage(places.upperPages));
    onClick("BitBtnDupSuchen", &DuplicatesController::BitBtnDupSuchenClick);
    onClick("BitBtnDupErgebnis", &DuplicatesController::BitBtnDupErgebnisClick);
    onClick("BitBtnDupLeereOrdner", &DuplicatesController::BitBtnDupLeereOrdnerClick);
    onClick("BitBtn_Dup01", &DuplicatesController::BitBtn_Dup01Click);
    onClick("BitBtn_Dup02", &DuplicatesController::BitBtn_Dup02Click);
    onClick("BitBtn_Dup03", &DuplicatesController::BitBtn_Dup03Click);
    onClick("BitBtnDupAbbrechen", &DuplicatesController::BitBtnDupAbbrechenClick);
    // The list reports a double click anywhere on it, not only on a line;
    // Enter opens the current line as a double click does.
    resultList()->viewport()->installEventFilter(this);
    resultList()->installEventFilter(this);
}

bool DuplicatesController::eventFilter(QObject* watched, QEvent* event) {
    const bool doubleClick =
        event->type() == QEvent::MouseButtonDblClick && watched == resultList()->viewport();
    if (doubleClick || (watched == resultList() && IsEnterKey(event))) {
        GuardedHandler(this, [this] { ListBox_Dup02DblClick(); });
        return true;
    }
    return FeatureController::eventFilter(watched, event);
}

QListWidget* DuplicatesController::resultList() const {
    return control<QListWidget>(QStringLiteral("ListBox_Dup02"));
}

void DuplicatesController::BitBtnDupSuchenClick() {
    QListWidget* list = resultList();
    list->clear();
    QStringList lines;
    // The lines found stay, however the search ends.
    ScopeExit show([&] { list->addItems(lines); });
    SearchDuplicates(window().jobHost(), window().selectedFolder(), lines);
}

void DuplicatesController::BitBtnDupErgebnisClick() {
    auto* toggle = control<QAbstractButton>(QStringLiteral("BitBtnDupErgebnis"));
    const bool showResults = parts::Tag(toggle) == 0;
    control<QStackedWidget>(QStringLiteral("HauptNotebook01"))
        ->setCurrentIndex(showResults ? kResultPage : kBrowserPage);
    control<QToolBar>(QStringLiteral("HauptToolBar01"))->setEnabled(!showResults);
    control<QWidget>(QStringLiteral("BitBtnDupSuchen"))->setEnabled(!showResults);
    toggle->setText(CatalogueText(showResults ? kDirectoryView : kViewResults));
    const QString hint = CatalogueText(showResults ? kBackToDirectoryView : kViewResultsHint);
    toggle->setToolTip(hint);
    toggle->setStatusTip(hint);
    parts::SetTag(toggle, showResults ? 1 : 0);
    AddMnemonics(window());
}

void DuplicatesController::BitBtnDupAbbrechenClick() {
    window().stopFlags().BatchJobStop = 1;
}

void DuplicatesController::BitBtnDupLeereOrdnerClick() {
    RemoveEmptyFolders(window().jobHost(), window().selectedFolder());
}

void DuplicatesController::BitBtn_Dup01Click() {
    QListWidget* list = resultList();
    QStringList lines;
    for (int row = 0; row < list->count(); ++row)
        lines.append(list->item(row)->text());
    for (const qsizetype row : DuplicateLinesToMark(lines))
        list->item(int(row))->setSelected(true);
}

void DuplicatesController::BitBtn_Dup02Click() {
    QListWidget* list = resultList();
    QStringList marked;
    QList<int> rows;
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->isSelected()) {
            marked.append(list->item(row)->text());
            rows.append(row);
        }
    }
    JobHost& host = window().jobHost();
    host.lists().AlteDateinamen = marked;
    if (!ConfirmDeletingMarked(host, marked.size()))
        return;
    host.setBusyCursor(true);
    ScopeExit restoreCursor([&] { host.setBusyCursor(false); });
    {
        list->setEnabled(false);
        ScopeExit enable([&] { list->setEnabled(true); });
        // A file that could not be trashed loses its line too; it stays
        // where it is, never deleted for good, and is listed at the end.
        TrashFiles(host, marked);
    }
    for (qsizetype i = rows.size() - 1; i >= 0; --i)
        delete list->takeItem(rows.at(i));
}

void DuplicatesController::BitBtn_Dup03Click() {
    if (ConfirmClearingList(window().jobHost()))
        resultList()->clear();
}

void DuplicatesController::ListBox_Dup02DblClick() {
    const QListWidgetItem* current = resultList()->currentItem();
    // An empty separator line names no file either.
    if (!current || current->text().isEmpty()) {
        window().jobHost().showMessage(CatalogueText(kNoApplication), MessageKind::Information,
                                       ButtonBit(DialogButton::OK));
        return;
    }
    OpenWithAssociatedProgram(current->text(), window().settings().Arbeitsverzeichnis);
}
