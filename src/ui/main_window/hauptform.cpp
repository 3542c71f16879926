#include "ui/main_window/hauptform.h"

#include "app/error_handler.h"
#include "base/errors.h"
#include "fs/path_utils.h"
#include "i18n/catalogue.h"
#include "jobs/framework/collection_watcher.h"
#include "ui/features/guarded_connect.h"
#include "ui/features/job_controllers.h"
#include "ui/features/progress_pages.h"
#include "ui/language/accessible_names.h"
#include "ui/language/apply_language.h"
#include "ui/language/mnemonics.h"
#include "ui/main_window/browser_controller.h"
#include "ui/main_window/main_window_job_host.h"
#include "ui/main_window/main_window_parts.h"
#include "ui/main_window/preview_controller.h"
#include "ui/main_window/qt_translation.h"
#include "ui/main_window/window_commands.h"
#include "ui/widgets/current_page_tab_widget.h"
#include "ui/widgets/tab_order.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
// The last page of HauptNotebook01: "Versteckt", never shown.
QWidget* BuildHiddenListsPage(QWidget* parent) {
    // The lists themselves are string lists of the window model (BatchLists);
    // the page exists so that the notebook keeps its three pages.
    auto* page = new QWidget(parent);
    page->setObjectName(QStringLiteral("Versteckt"));
    return page;
}
} // namespace

THauptForm::SettingsSource THauptForm::StoredSettings() {
    return [] { return LoadSettings(); };
}

THauptForm::THauptForm(SettingsSource source, QWidget* parent)
    : QMainWindow(parent), m_source(std::move(source)),
      m_jobHost(std::make_unique<MainWindowJobHost>(*this)) {
    setObjectName(QStringLiteral("THauptForm"));
    // The window takes the desktop's font and size of text; its layouts grow
    // with them (LimitWindowSize).
    resize(800, 600);
    setMinimumSize(kMinimumWindowSize);
    registerControllers();
    buildControls();
    connectHandlers();
    FormCreate();
}

THauptForm::~THauptForm() {
    for (FeatureController* feature : m_controllers)
        feature->windowClosing();
    finishWatcher();
}

JobHost& THauptForm::jobHost() {
    return *m_jobHost;
}

void THauptForm::registerControllers() {
    // The window's own parts first; then the jobs, whose series tabs stand
    // in this order.
    addController<BrowserController>();
    addController<WindowCommandsController>();
    addController<PreviewController>();
    addController<DefectScanController>();
    addController<ReductionController>();
    addController<IndexController>();
    addController<FunctionsController>();
    addController<DuplicatesController>();
    addController<SimilarController>();
    addController<EditorController>();
}

// What controllers and jobs share of the browser.
ShellFileList* THauptForm::fileList() const {
    return controller<BrowserController>().fileList();
}
QString THauptForm::currentTreeFolder() const {
    return controller<BrowserController>().currentTreeFolder();
}
bool THauptForm::selectTreeFolder(const QString& folder) {
    return controller<BrowserController>().selectTreeFolder(folder);
}
QString THauptForm::selectedFolder() const {
    return controller<BrowserController>().selectedFolder();
}
QStringList THauptForm::selectedFiles() const {
    return controller<BrowserController>().selectedFiles();
}
void THauptForm::refreshFileList() {
    controller<BrowserController>().refreshFileList();
}
void THauptForm::folderTreeMayHaveChanged() {
    controller<BrowserController>().folderTreeMayHaveChanged();
}
void THauptForm::setFileFilter(const QString& filterText) {
    controller<BrowserController>().setFileFilter(filterText);
}

void THauptForm::ThrowMissingControl(const QString& name, const char* className) {
    throw KelvastoError("THauptForm has no control " + name.toStdString() + " of class " +
                        className);
}

void THauptForm::ApplyLanguage() {
    ApplyQtTranslation(LanguageOffset());
    // Qt posts the switch's change events to the windows; delivered later,
    // they would reach a dialog opened meanwhile and put Qt's own button
    // texts back over the catalogue's.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    ::ApplyLanguage(*this);
    for (FeatureController* feature : m_controllers)
        feature->applyLanguage();
    ApplyToolbarTexts(*this);
    // What the keyboard and a screen reader need follows the texts.
    NameControls(*this);
    AddMnemonics(*this);
    ArrangeTabOrder(*this);
    LimitWindowSize();
    // Type names and dates of the listed items were made in the old language.
    refreshFileList();
}

void THauptForm::FormCreate() {
    m_settings = m_source();
    SetLanguageOffset(m_settings.Sprache);
    SetLanguageIndex(LanguageIndexForOffset(m_settings.Sprache));
    ApplyLanguage();
    setWindowTitle(QStringLiteral("Kelvasto V1.25") + MakeBlanks(5) +
                   CatalogueText(CatalogueId::Release) + QStringLiteral("04.05.2005"));
    // The undo button takes its hint from the menu entry once, when loaded.
    const QAction* undo = control<QAction>(QStringLiteral("HMenuDateiRueckgaengig"));
    QAction* undoButton = control<QAction>(QStringLiteral("TB01Rueckgaengig"));
    undoButton->setToolTip(undo->statusTip());
    undoButton->setStatusTip(undo->statusTip());
    for (FeatureController* feature : m_controllers)
        feature->windowCreated();
    m_imaging = std::make_unique<ImagingContext>();
}

void THauptForm::closeEvent(QCloseEvent* event) {
    // An editor effect still uses the work bitmaps that closing frees.
    if (controller<EditorController>().busy()) {
        event->ignore();
        return;
    }
    GuardedHandler(this, [&] { FormClose(); });
    QMainWindow::closeEvent(event);
}

void THauptForm::FormClose() {
    *m_imaging = ImagingContext{}; // frees the work bitmaps
    // A job still running ends at its next stop test (the job host keeps
    // the requests up, since a job clears its flag after collecting); the
    // watcher is ended before anything it calls goes away.
    m_closing = true;
    if (jobRunning()) {
        m_stopFlags.JpegJobStop = 1;
        m_stopFlags.BatchJobStop = 1;
    }
    finishWatcher();
    for (FeatureController* feature : m_controllers)
        feature->windowClosing();
    if (m_settings.BildschirmSpeichern)
        SaveScreenSettings(m_settings);
}

// --- controls --------------------------------------------------------------

void THauptForm::buildControls() {
    BuildMainMenu(*this);
    BuildPopupMenu(this);

    auto* notebook = new QStackedWidget(this);
    notebook->setObjectName(QStringLiteral("Notebook1"));
    auto* tabs = new QTabWidget(notebook);
    tabs->setObjectName(QStringLiteral("PageControl01"));
    notebook->addWidget(tabs);
    setCentralWidget(notebook);

    auto* series = new QWidget(tabs);
    series->setObjectName(QStringLiteral("HauptTabSheet01"));
    auto* layout = new QVBoxLayout(series);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(BuildMainToolBar(series));
    auto* upper = new QStackedWidget(series);
    upper->setObjectName(QStringLiteral("HauptNotebook01"));
    upper->addWidget(controller<BrowserController>().buildPage(upper));
    layout->addWidget(upper, 1);
    auto* bevel = new QFrame(series);
    bevel->setObjectName(QStringLiteral("HauptBevel01"));
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    layout->addWidget(bevel);
    layout->addWidget(buildSeriesTab(series));
    tabs->addTab(series, QString());
    LinkUndoButton(*this);

    // The features fill their places in the order they were registered.
    const FeaturePlaces places{tabs, upper,
                               control<QTabWidget>(QStringLiteral("HauptPageControl01")),
                               control<QStackedWidget>(QStringLiteral("NBStatus01"))};
    for (FeatureController* feature : m_controllers)
        feature->build(places);
    upper->addWidget(BuildHiddenListsPage(upper));
    AssignShortcuts(*this);

    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("HauptStatusBar"));
    status->setMinimumHeight(19);
    status->setSizeGripEnabled(false);
    // The last job's summary; a hint shown over it for a moment leaves it be.
    auto* summary = new QLabel(status);
    summary->setObjectName(QStringLiteral("HauptStatusSummary"));
    summary->setTextFormat(Qt::PlainText);
    status->addWidget(summary, 1);
    setStatusBar(status);
}

QWidget* THauptForm::buildSeriesTab(QWidget* parent) {
    auto* lower = new QWidget(parent);
    lower->setObjectName(QStringLiteral("HauptNotebook02"));
    parts::KeepDesignHeight(lower, 210);
    auto* row = new QHBoxLayout(lower);
    row->setContentsMargins(2, 2, 2, 2);
    row->addWidget(BuildProgressPanel(lower));
    auto* pages = new CurrentPageTabWidget(lower);
    pages->setObjectName(QStringLiteral("HauptPageControl01"));
    row->addWidget(pages, 1);
    return lower;
}

void THauptForm::connectHandlers() {
    auto onTab = [this](const char* name, void (THauptForm::*handler)(int)) {
        connect(control<QTabWidget>(QString::fromLatin1(name)), &QTabWidget::currentChanged, this,
                [this, handler](int tab) { GuardedHandler(this, [&] { (this->*handler)(tab); }); });
    };
    onTab("PageControl01", &THauptForm::PageControl01Change);
    onTab("HauptPageControl01", &THauptForm::HauptPageControl01Change);
    onTab("GrafikPageControl01", &THauptForm::GrafikPageControl01Change);
}
