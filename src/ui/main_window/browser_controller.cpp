// The file browser's page: the folder tree, its model, the filter and the
// file list, their signals and the browser's start state.

#include "ui/main_window/browser_controller.h"

#include "app/error_handler.h"
#include "fs/path_utils.h"
#include "ui/file_list/file_list_filter.h"
#include "ui/file_list/textures.h"
#include "ui/folder_tree/folder_tree_model.h"
#include "ui/language/accessible_names.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QListView>
#include <QMenu>
#include <QScrollBar>
#include <QSplitter>
#include <QTreeView>
#include <QVBoxLayout>

BrowserController::BrowserController(THauptForm& window) : FeatureController(window) {}

QWidget* BrowserController::buildPage(QWidget* parent) {
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

void BrowserController::createTreeModel() {
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

void BrowserController::build(const FeaturePlaces&) {
    onTrigger("TB01Refresh", &BrowserController::TB01RefreshClick);
    onTrigger("TB01LargeIcon", &BrowserController::TB01LargeIconClick);
    onTrigger("TB01SmallIcon", &BrowserController::TB01SmallIconClick);
    onTrigger("TB01List", &BrowserController::TB01ListClick);
    onTrigger("TB01Report", &BrowserController::TB01ReportClick);
    onTrigger("TB01Rueckgaengig", &BrowserController::TB01RueckgaengigClick);
    onTrigger("PM01_DateiLoeschen", &BrowserController::PM01_DateiLoeschenClick);
    onTrigger("PM01_DateienMarkieren", &BrowserController::PM01_DateienMarkierenClick);
    onTrigger("PM01_Eigenschaften", &BrowserController::PM01_EigenschaftenClick);

    auto* popup = control<QMenu>(QStringLiteral("PopupMenu01"));
    ConnectGuarded(popup, &QMenu::aboutToShow, this, [this] { PopupMenu01Popup(); });
    connect(m_fileList, &ShellFileList::contextMenuRequested, popup,
            [popup](const QPoint& at) { popup->popup(at); });
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

void BrowserController::windowCreated() {
    AppSettings& settings = window().settings();
    m_treeFolder = currentTreeFolder();
    if (settings.BildschirmSpeichern) {
        auto* splitter = control<QSplitter>(QStringLiteral("Splitter01"));
        splitter->setSizes({settings.ExplorerSTVLinks, 10000});
    }
    setFileFilter(kJpegFilter);
    const TextureChoice texture = TexturePictureAtStart(settings);
    m_texturePicture = texture.picture;
    m_fileList->setTextColour(texture.textColour);
    m_fileList->setThumbnails(settings.ListeVorschaubilder);
    m_fileList->setSortOrder(settings.ListeSortierSpalte, settings.ListeSortierAbsteigend
                                                              ? Qt::DescendingOrder
                                                              : Qt::AscendingOrder);
    ShellListView01HinterGrund();
    // The work starts with a folder: the keyboard starts in the tree.
    m_tree->setFocus();
}

void BrowserController::jobEnded() {
    if (m_treeStale)
        refreshFolderTree();
}

bool BrowserController::eventFilter(QObject* watched, QEvent* event) {
    // A folder the program selected stays in the tree's middle when the
    // window changes size, until the user moves the tree himself.
    if (event->type() == QEvent::Resize && watched == m_tree->viewport() && m_treeFollowsCurrent &&
        m_tree->currentIndex().isValid())
        m_tree->scrollTo(m_tree->currentIndex(), QAbstractItemView::PositionAtCenter);
    return FeatureController::eventFilter(watched, event);
}

QString BrowserController::currentTreeFolder() const {
    const QModelIndex current = m_tree->currentIndex();
    return current.isValid() ? m_treeModel->filePath(current) : QString();
}

bool BrowserController::selectTreeFolder(const QString& folder) {
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

QString BrowserController::selectedFolder() const {
    return AddTrailingBackslash(currentTreeFolder());
}

QStringList BrowserController::selectedFiles() const {
    return m_fileList->selectedFilePaths();
}

void BrowserController::refreshFileList() {
    m_fileList->reread();
}

void BrowserController::setFileFilter(const QString& filterText) {
    auto* combo = control<QComboBox>(QStringLiteral("FilterComboBox01"));
    if (filterText.compare(fileFilter(), Qt::CaseInsensitive) == 0)
        return;
    const qsizetype bar = filterText.indexOf(QLatin1Char('|'));
    combo->clear();
    combo->addItem(bar < 0 ? filterText : filterText.left(bar), filterText);
    combo->setCurrentIndex(0);
    FilterComboBox01Change();
}

QString BrowserController::fileFilter() const {
    const auto* combo = control<QComboBox>(QStringLiteral("FilterComboBox01"));
    return combo->currentIndex() < 0 ? QString() : combo->currentData().toString();
}

void BrowserController::setTexturePicture(const QImage& picture) {
    m_texturePicture = picture;
    ShellListView01HinterGrund();
}

void BrowserController::ShellListView01HinterGrund() {
    m_fileList->setTexture(m_texturePicture);
}
