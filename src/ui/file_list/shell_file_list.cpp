#include "ui/file_list/shell_file_list.h"

#include "imaging/contrast.h"
#include "ui/file_list/file_list_keys.h"
#include "ui/file_list/focus_frame_delegate.h"
#include "ui/file_list/folder_list_model.h"
#include "ui/file_list/list_thumbnails.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QListView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSet>
#include <QSignalBlocker>
#include <QStackedLayout>
#include <QTreeView>

#include <algorithm>

namespace {

// Items of a selection up to which its region on screen is worked out item by
// item.
constexpr int kFewItems = 256;

// The icon views' list. Qt works out a selection's region on screen item by
// item where the items wrap; "mark all" in a folder of a hundred thousand
// pictures then costs as much as laying the folder out. A selection of more
// items than fit on screen repaints what is on screen.
class FileIconView : public QListView {
public:
    using QListView::QListView;

protected:
    QRegion visualRegionForSelection(const QItemSelection& selection) const override {
        qsizetype items = 0;
        for (const QItemSelectionRange& range : selection)
            items += range.height();
        if (items > kFewItems)
            return viewport()->rect();
        return QListView::visualRegionForSelection(selection);
    }
};

void setUpView(QAbstractItemView* view) {
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
}

} // namespace

ShellFileList::ShellFileList(QWidget* parent)
    : QWidget(parent), m_model(new FolderListModel(this)),
      m_selection(new QItemSelectionModel(m_model, this)), m_stack(new QStackedLayout(this)),
      m_iconView(new FileIconView(this)), m_detailsView(new QTreeView(this)) {
    setObjectName(QStringLiteral("ShellListView01"));
    m_iconView->setObjectName(QStringLiteral("ShellListView01_Icons"));
    m_detailsView->setObjectName(QStringLiteral("ShellListView01_Details"));
    m_stack->setContentsMargins(0, 0, 0, 0);
    m_stack->addWidget(m_iconView);
    m_stack->addWidget(m_detailsView);

    connect(m_model, &FolderListModel::loaded, this, &ShellFileList::folderArrived);
    auto* keys = new FileListKeys(*this);
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(m_iconView),
                                    static_cast<QAbstractItemView*>(m_detailsView)}) {
        view->installEventFilter(keys);
        view->setModel(m_model);
        view->setSelectionModel(m_selection);
        setUpView(view);
        view->setMouseTracking(true);
        view->viewport()->installEventFilter(this);
        connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint& pos) {
            emit contextMenuRequested(view->viewport()->mapToGlobal(pos));
        });
        connect(view->horizontalScrollBar(), &QScrollBar::valueChanged, this,
                &ShellFileList::scrolledHorizontally);
        connect(view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
            emit itemOpened(m_model->filePath(index.row()));
        });
    }
    m_detailsView->setItemDelegate(new FocusFrameDelegate(m_detailsView));
    m_detailsView->setRootIsDecorated(false);
    m_detailsView->setItemsExpandable(false);
    m_detailsView->setUniformRowHeights(true);
    QHeaderView* header = m_detailsView->header();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(0, Qt::AscendingOrder);
    connect(header, &QHeaderView::sortIndicatorChanged, this,
            [this](int column, Qt::SortOrder order) {
                m_model->setSortOrder(column, order);
                emit sortChanged(column, order);
            });
    m_thumbnails = new ListThumbnails(m_iconView);
    m_iconView->setItemDelegate(m_thumbnails);
    setViewStyle(ViewStyle::List);
    applyBackground(m_iconView);
    applyBackground(m_detailsView);
}

void ShellFileList::folderArrived() {
    // Thumbnails are asked for once the items stand still.
    m_iconView->viewport()->update();
    if (!m_currentWhenLoaded.isEmpty()) {
        selectNames({m_currentWhenLoaded});
        m_currentWhenLoaded.clear();
    }
    emit folderLoaded();
}

void ShellFileList::setThumbnails(bool on) {
    m_thumbnailsOn = on;
    setViewStyle(m_style);
}

void ShellFileList::setFolder(const QString& folder) {
    m_folder = folder;
    m_model->setFolder(folder);
}

bool ShellFileList::isLoaded() const {
    return m_model->isLoaded();
}

bool ShellFileList::listingIsCurrent() const {
    return m_model->isCurrent();
}

void ShellFileList::reread() {
    m_watchSuspended = false;
    m_model->setWatching(true);
    m_model->reread();
}

void ShellFileList::suspendWatching() {
    m_model->setWatching(false);
    m_watchSuspended = true;
}

void ShellFileList::resumeWatching() {
    if (m_watchSuspended)
        reread();
}

void ShellFileList::setViewStyle(ViewStyle style) {
    m_style = style;
    // The list view keeps its page icons, as without the pictures.
    m_thumbnails->setEnabled(m_thumbnailsOn &&
                             (style == ViewStyle::LargeIcon || style == ViewStyle::SmallIcon));
    if (style == ViewStyle::Report) {
        m_stack->setCurrentWidget(m_detailsView);
        m_detailsView->header()->resizeSection(0, 260);
        return;
    }
    m_stack->setCurrentWidget(m_iconView);
    switch (style) {
    case ViewStyle::LargeIcon:
        m_iconView->setViewMode(QListView::IconMode);
        // Flow and wrapping once set stay as set; the icon view needs its own.
        m_iconView->setFlow(QListView::LeftToRight);
        m_iconView->setWrapping(true);
        if (m_thumbnailsOn) {
            m_iconView->setIconSize(QSize(96, 96));
            m_iconView->setGridSize(QSize(120, 130));
        } else {
            m_iconView->setIconSize(QSize(32, 32));
            m_iconView->setGridSize(QSize(96, 64));
        }
        m_iconView->setWordWrap(true);
        break;
    case ViewStyle::SmallIcon:
        m_iconView->setViewMode(QListView::ListMode);
        m_iconView->setFlow(QListView::LeftToRight);
        m_iconView->setIconSize(QSize(16, 16));
        m_iconView->setGridSize(QSize(170, 20));
        m_iconView->setWrapping(true);
        break;
    case ViewStyle::List:
    default:
        m_iconView->setViewMode(QListView::ListMode);
        m_iconView->setFlow(QListView::TopToBottom);
        m_iconView->setIconSize(QSize(16, 16));
        m_iconView->setGridSize(QSize());
        m_iconView->setWrapping(true);
        m_iconView->setWordWrap(false);
        break;
    }
    m_iconView->setMovement(QListView::Static);
    m_iconView->setResizeMode(QListView::Adjust);
    // Uniform sizes would take every item's width from the last name, which
    // cuts longer names short.
    m_iconView->setUniformItemSizes(false);
}

void ShellFileList::setSortOrder(int column, Qt::SortOrder order) {
    if (column < 0 || column > 3)
        column = 0;
    QHeaderView* header = m_detailsView->header();
    const QSignalBlocker quiet(header);
    header->setSortIndicator(column, order);
    header->viewport()->update();
    m_model->setSortOrder(column, order);
}

int ShellFileList::sortColumn() const {
    return m_model->sortColumn();
}

Qt::SortOrder ShellFileList::sortOrder() const {
    return m_model->sortOrder();
}

void ShellFileList::setListMasks(const QStringList& masks) {
    m_model->setListMasks(masks);
}

void ShellFileList::setShowHidden(bool show) {
    if (show == m_showHidden)
        return;
    m_showHidden = show;
    m_model->setShowHidden(show);
    reread();
}

void ShellFileList::applyBackground(QAbstractItemView* view) {
    // Built from the window's palette each time, so a change of the
    // desktop's colours (light to dark) reaches the list.
    QPalette palette = QWidget::palette();
    // The selection stays visible without the focus.
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    // The tile is the viewport's base brush, so it shows behind every item and
    // its text; items paint no background of their own unless selected.
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        QColor text = palette.color(group, QPalette::Text);
        if (!m_texture.isNull()) {
            palette.setBrush(group, QPalette::Base, QBrush(m_texture));
            text = m_textureTextColour;
        }
        if (m_textColour.isValid())
            text = m_textColour;
        palette.setColor(group, QPalette::Text, text);
    }
    view->setPalette(palette);
    view->viewport()->update();
}

void ShellFileList::setTexture(const QImage& texture) {
    m_texture = texture;
    m_textureTextColour = ContrastingTextColour(MeanColour(texture));
    applyBackground(m_iconView);
    applyBackground(m_detailsView);
}

void ShellFileList::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        applyBackground(m_iconView);
        applyBackground(m_detailsView);
    }
}

void ShellFileList::setTextColour(const QColor& colour) {
    m_textColour = colour;
    applyBackground(m_iconView);
    applyBackground(m_detailsView);
}

QColor ShellFileList::textColour() const {
    return m_iconView->palette().color(QPalette::Active, QPalette::Text);
}

void ShellFileList::openCurrentItem() {
    const QModelIndex current = m_selection->currentIndex();
    if (current.isValid())
        emit itemOpened(m_model->filePath(current.row()));
}

void ShellFileList::runKeyCommand(ListKeyCommand command) {
    switch (command) {
    case ListKeyCommand::Open:
        openCurrentItem();
        break;
    case ListKeyCommand::GoUp:
        emit parentFolderRequested();
        break;
    case ListKeyCommand::ContextMenu:
        popUpMenuAtCurrentItem();
        break;
    case ListKeyCommand::Delete:
        emit deleteRequested();
        break;
    case ListKeyCommand::Properties:
        emit propertiesRequested();
        break;
    case ListKeyCommand::None:
        break;
    }
}

void ShellFileList::popUpMenuAtCurrentItem() {
    QAbstractItemView* view = activeView();
    const QModelIndex current = m_selection->currentIndex();
    const QRect item = current.isValid() ? view->visualRect(current) : QRect();
    const QPoint at = view->viewport()->rect().contains(item.center())
                          ? item.bottomLeft()
                          : view->viewport()->rect().topLeft();
    emit contextMenuRequested(view->viewport()->mapToGlobal(at));
}

QAbstractItemView* ShellFileList::activeView() const {
    return m_style == ViewStyle::Report ? static_cast<QAbstractItemView*>(m_detailsView)
                                        : static_cast<QAbstractItemView*>(m_iconView);
}

QString ShellFileList::pathAtViewPosition(QAbstractItemView* view, const QPoint& position) const {
    const QModelIndex index = view->indexAt(position);
    return index.isValid() ? m_model->filePath(index.row()) : QString();
}

bool ShellFileList::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(m_iconView),
                                        static_cast<QAbstractItemView*>(m_detailsView)}) {
            if (watched != view->viewport())
                continue;
            const auto* move = static_cast<QMouseEvent*>(event);
            emit pointerMoved(pathAtViewPosition(view, move->position().toPoint()),
                              move->globalPosition().toPoint());
        }
    }
    return QWidget::eventFilter(watched, event);
}

QStringList ShellFileList::itemNames() const {
    QStringList names;
    names.reserve(m_model->rowCount());
    for (int row = 0; row < m_model->rowCount(); ++row)
        names.append(m_model->entry(row).name);
    return names;
}

QStringList ShellFileList::itemPaths() const {
    QStringList paths;
    paths.reserve(m_model->rowCount());
    for (int row = 0; row < m_model->rowCount(); ++row)
        paths.append(m_model->filePath(row));
    return paths;
}

std::vector<int> ShellFileList::selectedRows() const {
    // From the selection's ranges, not item by item: "mark all" in a folder
    // of a hundred thousand pictures is one range.
    std::vector<int> rows;
    for (const QItemSelectionRange& range : m_selection->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.push_back(row);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

QStringList ShellFileList::selectedPaths() const {
    QStringList paths;
    for (const int row : selectedRows())
        paths.append(m_model->filePath(row));
    return paths;
}

QStringList ShellFileList::selectedFilePaths() const {
    const std::vector<int> rows = selectedRows();
    QStringList paths;
    paths.reserve(qsizetype(rows.size()));
    for (const int row : rows)
        if (!m_model->isFolder(row))
            paths.append(m_model->filePath(row));
    return paths;
}

int ShellFileList::selectedCount() const {
    return int(selectedRows().size());
}

bool ShellFileList::hasCurrentItem() const {
    return m_selection->currentIndex().isValid();
}

void ShellFileList::selectNames(const QStringList& names) {
    const QSet<QString> wanted(names.begin(), names.end());
    m_selection->clearSelection();
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (!wanted.contains(m_model->entry(row).name))
            continue;
        const QModelIndex item = m_model->index(row, 0);
        m_selection->select(item, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        m_selection->setCurrentIndex(item, QItemSelectionModel::NoUpdate);
    }
}

void ShellFileList::selectAll() {
    const int rows = m_model->rowCount();
    if (rows == 0)
        return;
    const QItemSelection all(m_model->index(0, 0),
                             m_model->index(rows - 1, m_model->columnCount() - 1));
    m_selection->select(all, QItemSelectionModel::Select);
    if (!hasCurrentItem())
        m_selection->setCurrentIndex(m_model->index(0, 0), QItemSelectionModel::NoUpdate);
}

bool ShellFileList::editName(const QString& name) {
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->entry(row).name != name)
            continue;
        const QModelIndex item = m_model->index(row, 0);
        activeView()->setCurrentIndex(item);
        activeView()->edit(item);
        return true;
    }
    return false;
}
