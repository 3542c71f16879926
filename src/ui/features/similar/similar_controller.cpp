#include "ui/features/similar/similar_controller.h"

#include "app/error_handler.h"
#include "app/open_with_program.h"
#include "base/scope_exit.h"
#include "i18n/catalogue.h"
#include "i18n/own_texts.h"
#include "jobs/duplicates/duplicate_results.h"
#include "jobs/framework/job_controls.h"
#include "jobs/similar/find_similar.h"
#include "jobs/similar/fingerprint_cache.h"
#include "jobs/similar/similar_results.h"
#include "ui/features/guarded_connect.h"
#include "ui/features/similar/similar_pages.h"
#include "ui/features/similar/similar_result_view.h"
#include "ui/main_window/main_window_parts.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolBar>

namespace {

constexpr int kNoApplication = 9005;
constexpr int kSeriesTabDuplicates = 3;
constexpr int kBrowserPage = 0;

const QString kToggle = QStringLiteral("BitBtnSimErgebnis");

// Own texts of controls: caption, and hint where there is one.
struct OwnCaption {
    const char* control;
    const char* caption;
    const char* hint;
};

constexpr OwnCaption kCaptions[] = {
    {"DupTabSheet01", "similar.identicalTab", nullptr},
    {"DupTabSheet02", "similar.tab", nullptr},
    {"BitBtnSimSuchen", "similar.search", "similar.search.hint"},
    {"LabelSimSchwelle", "similar.threshold", nullptr},
    {"CheckBoxSimGleichesBild", "similar.samePicture", "similar.samePicture.hint"},
    {"BitBtn_Sim01", "similar.mark", "similar.mark.hint"},
    {"BitBtn_Sim02", "similar.trash", nullptr},
    {"BitBtn_Sim03", "similar.clear", nullptr},
    {"Label_Sim01", "similar.progress.total", nullptr},
    {"Label_Sim03", "similar.progress.done", nullptr},
    {"Label_Sim05", "similar.progress.groups", nullptr},
    {"BitBtnSimAbbrechen", "similar.progress.abort", nullptr},
};

void setCaption(QWidget* widget, const QString& text) {
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(text);
    } else if (auto* tabs = qobject_cast<QTabWidget*>(widget->parentWidget()->parentWidget())) {
        tabs->setTabText(tabs->indexOf(widget), text);
    }
}

} // namespace

SimilarController::SimilarController(THauptForm& window) : FeatureController(window) {}

void SimilarController::build(const FeaturePlaces& places) {
    auto* subPages = control<QTabWidget>(QStringLiteral("DupPageControl01"));
    subPages->addTab(BuildSimilarSearchPage(subPages), QString());
    m_resultPage = BuildSimilarResultPage(places.upperPages);
    places.upperPages->addWidget(m_resultPage);

    onClick("BitBtnSimSuchen", &SimilarController::BitBtnSimSuchenClick);
    onClick("BitBtnSimErgebnis", &SimilarController::BitBtnSimErgebnisClick);
    onClick("BitBtnSimAbbrechen", &SimilarController::BitBtnSimAbbrechenClick);
    onClick("BitBtn_Sim01", &SimilarController::BitBtn_Sim01Click);
    onClick("BitBtn_Sim02", &SimilarController::BitBtn_Sim02Click);
    onClick("BitBtn_Sim03", &SimilarController::BitBtn_Sim03Click);
    connect(resultView(), &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
        GuardedHandler(this, [&] { ListView_Sim01DblClick(row, column); });
    });
    ConnectGuarded(subPages, &QTabWidget::currentChanged, this, [this] { followPageChange(); });
    ConnectGuarded(control<QTabWidget>(QStringLiteral("HauptPageControl01")),
                   &QTabWidget::currentChanged, this, [this] { followPageChange(); });
}

void SimilarController::applyLanguage() {
    for (const OwnCaption& texts : kCaptions) {
        auto* widget = control<QWidget>(QString::fromLatin1(texts.control));
        setCaption(widget, OwnText(texts.caption));
        if (texts.hint) {
            widget->setToolTip(OwnText(texts.hint));
            widget->setStatusTip(OwnText(texts.hint));
        }
    }
    auto* threshold = control<QWidget>(QStringLiteral("SpinEditSimSchwelle"));
    threshold->setToolTip(OwnText("similar.threshold.hint").arg(kDefaultSimilarityThreshold));
    const bool shown = parts::Tag(control<QWidget>(kToggle)) == 1;
    control<QAbstractButton>(kToggle)->setText(
        OwnText(shown ? "similar.results.hide" : "similar.results.show"));
    resultView()->retranslate();
}

SimilarResultView* SimilarController::resultView() const {
    return control<SimilarResultView>(QStringLiteral("ListView_Sim01"));
}

void SimilarController::BitBtnSimSuchenClick() {
    SimilarSearchOptions options;
    options.startFolders = {window().selectedFolder()};
    options.threshold = control<QSpinBox>(QStringLiteral("SpinEditSimSchwelle"))->value();
    options.samePicture =
        control<QCheckBox>(QStringLiteral("CheckBoxSimGleichesBild"))->isChecked();
    options.cacheFile = FingerprintCache::defaultFile();
    resultView()->setGroups({});
    const SimilarSearchResult result = SearchSimilarPictures(window().jobHost(), options);
    resultView()->setGroups(result.groups);
    if (!result.groups.isEmpty() && parts::Tag(control<QWidget>(kToggle)) == 0)
        showResults(true);
}

void SimilarController::BitBtnSimErgebnisClick() {
    showResults(parts::Tag(control<QWidget>(kToggle)) == 0);
}

void SimilarController::showResults(bool on) {
    auto* upper = control<QStackedWidget>(QStringLiteral("HauptNotebook01"));
    if (on)
        upper->setCurrentWidget(m_resultPage);
    else if (upper->currentWidget() == m_resultPage)
        upper->setCurrentIndex(kBrowserPage);
    control<QToolBar>(QStringLiteral("HauptToolBar01"))->setEnabled(!on);
    control<QWidget>(QStringLiteral("BitBtnSimSuchen"))->setEnabled(!on);
    auto* toggle = control<QAbstractButton>(kToggle);
    parts::SetTag(toggle, on ? 1 : 0);
    toggle->setText(OwnText(on ? "similar.results.hide" : "similar.results.show"));
}

void SimilarController::followPageChange() {
    if (parts::Tag(control<QWidget>(kToggle)) != 1)
        return;
    const bool stillHere =
        control<QTabWidget>(QStringLiteral("HauptPageControl01"))->currentIndex() ==
            kSeriesTabDuplicates &&
        control<QTabWidget>(QStringLiteral("DupPageControl01"))->currentWidget() ==
            control<QWidget>(QStringLiteral("DupTabSheet02"));
    if (!stillHere)
        showResults(false);
}

void SimilarController::BitBtnSimAbbrechenClick() {
    window().jobHost().stopFlags().BatchJobStop = 1;
}

void SimilarController::BitBtn_Sim01Click() {
    resultView()->markPaths(PicturesToMark(resultView()->groups()));
}

void SimilarController::BitBtn_Sim02Click() {
    SimilarResultView* view = resultView();
    const QStringList marked = view->markedPaths();
    const QSet<QString> markedSet(marked.begin(), marked.end());
    JobHost& host = window().jobHost();
    if (!ConfirmTrashingSimilar(host, marked.size(),
                                GroupsEntirelyMarked(view->groups(), markedSet)))
        return;
    host.setBusyCursor(true);
    ScopeExit restoreCursor([&] { host.setBusyCursor(false); });
    const QList<PictureNotTrashed> left =
        TrashUnchangedPictures(MarkedPictures(view->groups(), markedSet));
    // A picture that did not go stays in its group, still marked.
    QSet<QString> gone = markedSet;
    QStringList stillMarked, lines;
    for (const PictureNotTrashed& picture : left) {
        gone.remove(picture.path);
        stillMarked.append(picture.path);
        lines.append(picture.changed ? OwnText("similar.changedSince").arg(picture.path)
                                     : picture.path);
    }
    view->setGroups(WithoutPictures(view->groups(), gone));
    view->markPaths(stillMarked);
    if (!left.isEmpty())
        host.showMessage(OwnText("similar.notTrashed").arg(lines.join(QLatin1Char('\n'))),
                         MessageKind::Warning, ButtonBit(DialogButton::OK));
}

void SimilarController::BitBtn_Sim03Click() {
    if (ConfirmClearingList(window().jobHost()))
        resultView()->setGroups({});
}

void SimilarController::ListView_Sim01DblClick(int row, int column) {
    const QString path = resultView()->pathAt(row, column);
    if (path.isEmpty()) {
        window().jobHost().showMessage(CatalogueText(kNoApplication), MessageKind::Information,
                                       ButtonBit(DialogButton::OK));
        return;
    }
    OpenWithAssociatedProgram(path, window().settings().Arbeitsverzeichnis);
}
