#include "ui/main_window/hauptform.h"

#include "app/error_handler.h"
#include "base/errors.h"
#include "fs/path_utils.h"
#include "i18n/catalogue.h"
#include "jobs/defect_scan/defect_scan.h"
#include "jobs/framework/collection_watcher.h"
#include "preview/maus_ueberwachung.h"
#include "preview/thumb_form.h"
#include "ui/features/defect_scan/defect_scan_controller.h"
#include "ui/features/duplicates/duplicates_controller.h"
#include "ui/features/editor/editor_controller.h"
#include "ui/features/functions/functions_controller.h"
#include "ui/features/guarded_connect.h"
#include "ui/features/index/index_controller.h"
#include "ui/features/reduction/reduction_controller.h"
#include "ui/features/similar/similar_controller.h"
#include "ui/file_list/file_list_filter.h"
#include "ui/file_list/textures.h"
#include "ui/folder_tree/folder_tree_model.h"
#include "ui/language/accessible_names.h"
#include "ui/language/apply_language.h"
#include "ui/language/mnemonics.h"
#include "ui/main_window/main_window_job_host.h"
#include "ui/main_window/main_window_parts.h"
#include "ui/main_window/qt_translation.h"
#include "ui/widgets/tab_order.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QScrollBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

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
    m_thumbForm = std::make_unique<TThumbForm>(m_settings);
}

THauptForm::~THauptForm() {
    FinishMausUeberwachung(m_mouseWatcher.get());
    finishWatcher();
}

JobHost& THauptForm::jobHost() {
    return *m_jobHost;
}

void THauptForm::registerControllers() {
    addController<DefectScanController>();
    addController<ReductionController>();
    addController<FunctionsController>();
    addController<EditorController>();
    addController<IndexController>();
    addController<DuplicatesController>();
    addController<SimilarController>();
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
    m_fileList->reread();
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
    m_treeFolder = currentTreeFolder();
    if (m_settings.BildschirmSpeichern) {
        auto* splitter = control<QSplitter>(QStringLiteral("Splitter01"));
        splitter->setSizes({m_settings.ExplorerSTVLinks, 10000});
        control<QLineEdit>(QStringLiteral("IdxUnterverzeichnis"))
            ->setText(m_settings.UnterverzeichnisIdx);
        control<QLineEdit>(QStringLiteral("FktUnterverzeichnis"))
            ->setText(m_settings.UnterverzeichnisSonst);
        controller<DefectScanController>().showStoredValues();
    }
    // Where a scan without destination would put its files: the working
    // folder, never the program's own folder.
    m_defectFolder = DefectFolderFor(m_settings, QString());
    m_editorPictureHeight = 1;
    m_editorPictureWidth = 1;
    m_imaging = std::make_unique<ImagingContext>();
    setFileFilter(kJpegFilter);
    const TextureChoice texture = TexturePictureAtStart(m_settings);
    m_texturePicture = texture.picture;
    m_fileList->setTextColour(texture.textColour);
    m_fileList->setThumbnails(m_settings.ListeVorschaubilder);
    m_fileList->setSortOrder(m_settings.ListeSortierSpalte, m_settings.ListeSortierAbsteigend
                                                                ? Qt::DescendingOrder
                                                                : Qt::AscendingOrder);
    ShellListView01HinterGrund();
    FormResize();
    m_mouseWatcher = std::make_unique<TMausUeberwachung>(
        this, [this] { MausUeberwachungCheck(QCursor::pos()); });
    // The work starts with a folder: the keyboard starts in the tree.
    m_tree->setFocus();
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
    // No check may run once the window is going.
    FinishMausUeberwachung(m_mouseWatcher.get());
    if (m_settings.BildschirmSpeichern)
        SaveScreenSettings(m_settings);
}

void THauptForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    GuardedHandler(this, [&] { FormResize(); });
}

bool THauptForm::eventFilter(QObject* watched, QEvent* event) {
    // The editor's display area changes size also while its tab is hidden.
    if (event->type() == QEvent::Resize &&
        watched->objectName() == QLatin1String("EinzelNotebook01"))
        GuardedHandler(this, [&] { FormResize(); });
    // A folder the program selected stays in the tree's middle when the
    // window changes size, until the user moves the tree himself.
    if (event->type() == QEvent::Resize && watched == m_tree->viewport() && m_treeFollowsCurrent &&
        m_tree->currentIndex().isValid())
        m_tree->scrollTo(m_tree->currentIndex(), QAbstractItemView::PositionAtCenter);
    return QMainWindow::eventFilter(watched, event);
}

void THauptForm::setEditorPictureSize(int height, int width) {
    m_editorPictureHeight = height;
    m_editorPictureWidth = width;
    FormResize();
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
    upper->addWidget(buildBrowserPage(upper));
    upper->addWidget(BuildDuplicateResultPage(upper));
    upper->addWidget(BuildHiddenListsPage(upper));
    layout->addWidget(upper, 1);
    auto* bevel = new QFrame(series);
    bevel->setObjectName(QStringLiteral("HauptBevel01"));
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    layout->addWidget(bevel);
    layout->addWidget(buildSeriesTab(series));
    tabs->addTab(series, QString());
    tabs->addTab(BuildEditorPage(tabs), QString());
    LinkUndoButton(*this);

    // The features fill their places in the order they were registered.
    const FeaturePlaces places{tabs, upper,
                               control<QTabWidget>(QStringLiteral("HauptPageControl01")),
                               control<QTabWidget>(QStringLiteral("GrafikPageControl01")),
                               control<QStackedWidget>(QStringLiteral("NBStatus01"))};
    for (FeatureController* feature : m_controllers)
        feature->build(places);
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
    auto* pages = new QTabWidget(lower);
    pages->setObjectName(QStringLiteral("HauptPageControl01"));
    pages->addTab(BuildSeriesPageDefects(pages), QString());
    pages->addTab(BuildSeriesPageIndex(pages), QString());
    pages->addTab(BuildSeriesPageFunctions(pages), QString());
    pages->addTab(BuildSeriesPageDuplicates(pages), QString());
    row->addWidget(pages, 1);
    return lower;
}

QWidget* THauptForm::buildBrowserPage(QWidget* parent) {
    auto* splitter = new QSplitter(Qt::Horizontal, parent);
    splitter->setObjectName(QStringLiteral("Splitter01"));
    splitter->setHandleWidth(3);
    splitter->setChildrenCollapsible(false);

    auto* pane = new QWidget(splitter);
    pane->setObjectName(QStringLiteral("HauptNotebook01a"));
    pane->setMinimumWidth(200);
    auto* paneLayout = new QVBoxLayout(pane);
    paneLayout->setContentsMargins(0, 0, 0, 0);
    paneLayout->setSpacing(0);
    m_tree = new QTreeView(pane);
    m_tree->setObjectName(QStringLiteral("ShellTreeView01"));
    m_tree->setIndentation(19);
    m_tree->setRootIsDecorated(false);
    m_tree->setHeaderHidden(true);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    NameByOwnText(m_tree, "a11y.folders");
    paneLayout->addWidget(m_tree, 1);
    auto* filter = new QComboBox(pane);
    filter->setObjectName(QStringLiteral("FilterComboBox01"));
    filter->setMinimumHeight(21);
    NameByOwnText(filter, "a11y.filter");
    paneLayout->addWidget(filter);

    m_fileList = new ShellFileList(splitter);
    NameByOwnText(m_fileList->iconView(), "a11y.files");
    NameByOwnText(m_fileList->detailsView(), "a11y.files");
    m_fileList->setMinimumWidth(200);
    splitter->addWidget(pane);
    splitter->addWidget(m_fileList);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({250, 10000});
    createTreeModel();
    m_tree->viewport()->installEventFilter(this);
    // Opened, so the start folder shows its sub-folders below it.
    if (selectTreeFolder(QDir::homePath()))
        m_tree->expand(m_tree->currentIndex());
    return splitter;
}

void THauptForm::createTreeModel() {
    auto* model = new FolderTreeModel(this);
    model->setObjectName(QStringLiteral("ShellTreeView01Model"));
    FolderTreeModel* old = m_treeModel;
    m_treeModel = model;
    m_tree->setModel(model);
    // Folders arrive and get sorted in the background; keep a folder the
    // program selected in sight until the user moves the tree himself.
    auto keepInSight = [this] {
        if (m_treeFollowsCurrent && m_tree->currentIndex().isValid())
            m_tree->scrollTo(m_tree->currentIndex(), QAbstractItemView::PositionAtCenter);
    };
    connect(model, &FolderTreeModel::directoryLoaded, m_tree, keepInSight);
    connect(model, &QAbstractItemModel::layoutChanged, m_tree, keepInSight);
    delete old;
    ConnectGuarded(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
                   [this] { ShellTreeView01Change(); });
}

QString THauptForm::currentTreeFolder() const {
    const QModelIndex current = m_tree->currentIndex();
    return current.isValid() ? m_treeModel->filePath(current) : QString();
}

bool THauptForm::selectTreeFolder(const QString& folder) {
    const QString clean = QDir::cleanPath(folder);
    if (clean.isEmpty() || !QFileInfo(clean).isDir())
        return false;
    const QModelIndex index = m_treeModel->indexOf(clean);
    if (!index.isValid())
        return false;
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
        m_tree->expand(up);
    m_tree->setCurrentIndex(index);
    // In the middle, not on the last line: what lies below it stays in view.
    m_tree->scrollTo(index, QAbstractItemView::PositionAtCenter);
    m_treeFollowsCurrent = true;
    return true;
}

QString THauptForm::selectedFolder() const {
    return AddTrailingBackslash(currentTreeFolder());
}

QStringList THauptForm::selectedFiles() const {
    return m_fileList->selectedFilePaths();
}

void THauptForm::refreshFileList() {
    m_fileList->reread();
}

void THauptForm::setFileFilter(const QString& filterText) {
    auto* combo = control<QComboBox>(QStringLiteral("FilterComboBox01"));
    if (filterText.compare(fileFilter(), Qt::CaseInsensitive) == 0)
        return;
    const qsizetype bar = filterText.indexOf(QLatin1Char('|'));
    combo->clear();
    combo->addItem(bar < 0 ? filterText : filterText.left(bar), filterText);
    combo->setCurrentIndex(0);
    FilterComboBox01Change();
}

QString THauptForm::fileFilter() const {
    const auto* combo = control<QComboBox>(QStringLiteral("FilterComboBox01"));
    return combo->currentIndex() < 0 ? QString() : combo->currentData().toString();
}

void THauptForm::setTexturePicture(const QImage& picture) {
    m_texturePicture = picture;
    ShellListView01HinterGrund();
}

void THauptForm::ShellListView01HinterGrund() {
    m_fileList->setTexture(m_texturePicture);
}

void THauptForm::connectHandlers() {
    auto action = [this](const char* name) { return control<QAction>(QString::fromLatin1(name)); };
    auto onTrigger = [this, &action](const char* name, void (THauptForm::*handler)()) {
        ConnectGuarded(action(name), &QAction::triggered, this,
                       [this, handler] { (this->*handler)(); });
    };
    auto onClick = [this](const char* name, void (THauptForm::*handler)()) {
        ConnectGuarded(control<QAbstractButton>(QString::fromLatin1(name)),
                       &QAbstractButton::clicked, this, [this, handler] { (this->*handler)(); });
    };
    auto onTab = [this](const char* name, void (THauptForm::*handler)(int)) {
        connect(control<QTabWidget>(QString::fromLatin1(name)), &QTabWidget::currentChanged, this,
                [this, handler](int tab) { GuardedHandler(this, [&] { (this->*handler)(tab); }); });
    };
    onTab("PageControl01", &THauptForm::PageControl01Change);
    onTab("HauptPageControl01", &THauptForm::HauptPageControl01Change);
    onTab("GrafikPageControl01", &THauptForm::GrafikPageControl01Change);
    onClick("IdxSpeedButton01", &THauptForm::IdxSpeedButton01Click);
    onClick("IdxSpeedButton02", &THauptForm::IdxSpeedButton02Click);
    onClick("FktBitBtn01", &THauptForm::FktBitBtn01Click);
    onClick("BitBtnDupAbbrechen", &THauptForm::BitBtnDupAbbrechenClick);
    onTrigger("TB01Refresh", &THauptForm::TB01RefreshClick);
    onTrigger("TB01LargeIcon", &THauptForm::TB01LargeIconClick);
    onTrigger("TB01SmallIcon", &THauptForm::TB01SmallIconClick);
    onTrigger("TB01List", &THauptForm::TB01ListClick);
    onTrigger("TB01Report", &THauptForm::TB01ReportClick);
    onTrigger("TB01Rueckgaengig", &THauptForm::TB01RueckgaengigClick);
    // These toolbar buttons run their menu entries.
    for (auto [button, entry] :
         {std::pair{"TB01Optionen", "HMenuDateiOPT"}, std::pair{"TB01Hilfe", "HMenuInfoHilfe"},
          std::pair{"TB01Info", "HMenu_InfoF"}}) {
        QAction* target = action(entry);
        connect(action(button), &QAction::triggered, target, &QAction::trigger);
    }
    onTrigger("HMenuInfoHilfe", &THauptForm::HMenuInfoHilfeClick);
    onTrigger("HMenuDateiOPT", &THauptForm::HMenuDateiOPTClick);
    onTrigger("HMenu_InfoF", &THauptForm::TB01InfoClick);
    onTrigger("HMenuDateiProgDeInst", &THauptForm::HMenuDateiProgDeInstClick);
    onTrigger("HMenu_Sprache", &THauptForm::HMenu_SpracheClick);
    onTrigger("HMenu_ProgEnde", &THauptForm::HMenu_ProgEndeClick);
    onTrigger("PM01_DateiLoeschen", &THauptForm::PM01_DateiLoeschenClick);
    onTrigger("PM01_DateienMarkieren", &THauptForm::PM01_DateienMarkierenClick);
    onTrigger("PM01_Eigenschaften", &THauptForm::PM01_EigenschaftenClick);

    control<QWidget>(QStringLiteral("EinzelNotebook01"))->installEventFilter(this);
    auto* popup = control<QMenu>(QStringLiteral("PopupMenu01"));
    ConnectGuarded(popup, &QMenu::aboutToShow, this, [this] { PopupMenu01Popup(); });
    connect(m_fileList, &ShellFileList::contextMenuRequested, popup,
            [popup](const QPoint& at) { popup->popup(at); });
    connect(m_fileList, &ShellFileList::pointerMoved, this,
            [this](const QString& path, const QPoint& pointer) {
                GuardedHandler(this, [&] { ShellListView01MouseMove(path, pointer); });
            });
    connect(m_fileList, &ShellFileList::sortChanged, this, [this](int column, Qt::SortOrder order) {
        GuardedHandler(this, [&] { ShellListView01SortChange(column, order); });
    });
    ConnectGuarded(m_fileList, &ShellFileList::scrolledHorizontally, this,
                   [this] { ShellListView01OnScrollHor(); });
    connect(m_fileList, &ShellFileList::itemOpened, this, [this](const QString& path) {
        GuardedHandler(this, [&] { ShellListView01DblClick(path); });
    });
    ConnectGuarded(m_fileList, &ShellFileList::parentFolderRequested, this,
                   [this] { ShellListView01GoUp(); });
    // The delete entry's state is worked out as when the pop-up menu opens.
    ConnectGuarded(m_fileList, &ShellFileList::deleteRequested, this, [this] {
        PopupMenu01Popup();
        if (QAction* remove = control<QAction>(QStringLiteral("PM01_DateiLoeschen"));
            remove->isEnabled())
            remove->trigger();
    });
    ConnectGuarded(m_fileList, &ShellFileList::propertiesRequested, this,
                   [this] { control<QAction>(QStringLiteral("PM01_Eigenschaften"))->trigger(); });
    auto userMovesTree = [this] { m_treeFollowsCurrent = false; };
    connect(m_tree, &QTreeView::expanded, this, userMovesTree);
    connect(m_tree, &QTreeView::collapsed, this, userMovesTree);
    connect(m_tree->verticalScrollBar(), &QAbstractSlider::actionTriggered, this, userMovesTree);
    ConnectGuarded(m_tree, &QTreeView::clicked, this, [this] { ShellTreeView01Change(); });
    // A right click selects the folder under the pointer.
    connect(m_tree, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        const QModelIndex index = m_tree->indexAt(pos);
        if (index.isValid())
            m_tree->setCurrentIndex(index);
    });
    ConnectGuarded(control<QComboBox>(QStringLiteral("FilterComboBox01")), &QComboBox::activated,
                   this, [this] { FilterComboBox01Change(); });
}
