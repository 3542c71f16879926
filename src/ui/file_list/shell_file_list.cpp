#include "ui/file_list/shell_file_list.h"

#include "ui/file_list/file_list_filter.h"
#include "ui/file_list/list_thumbnails.h"

#include <QFileIconProvider>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QListView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStackedLayout>
#include <QTreeView>

namespace {

void keepSelectionVisibleWithoutFocus(QAbstractItemView* view) {
    QPalette palette = view->palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    view->setPalette(palette);
}

void setUpView(QAbstractItemView* view) {
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    keepSelectionVisibleWithoutFocus(view);
}

} // namespace

ShellFileList::ShellFileList(QWidget* parent)
    : QWidget(parent), m_filter(new FileListFilterModel(this)),
      m_selection(new QItemSelectionModel(m_filter, this)), m_stack(new QStackedLayout(this)),
      m_iconView(new QListView(this)), m_detailsView(new QTreeView(this)) {
    setObjectName(QStringLiteral("ShellListView01"));
    m_iconView->setObjectName(QStringLiteral("ShellListView01_Icons"));
    m_detailsView->setObjectName(QStringLiteral("ShellListView01_Details"));
    m_stack->setContentsMargins(0, 0, 0, 0);
    m_stack->addWidget(m_iconView);
    m_stack->addWidget(m_detailsView);

    createFileModel();
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(m_iconView),
                                    static_cast<QAbstractItemView*>(m_detailsView)}) {
        view->setModel(m_filter);
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
            emit itemOpened(m_files->filePath(m_filter->mapToSource(index)));
        });
    }
    m_detailsView->setRootIsDecorated(false);
    m_detailsView->setItemsExpandable(false);
    m_detailsView->setUniformRowHeights(true);
    QHeaderView* header = m_detailsView->header();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(0, Qt::AscendingOrder);
    connect(header, &QHeaderView::sortIndicatorChanged, this,
            [this](int column, Qt::SortOrder order) {
                m_filter->sort(column, order);
                emit sortChanged(column, order);
            });
    m_filter->sort(0, Qt::AscendingOrder);
    m_thumbnails = new ListThumbnails(m_iconView, m_filter);
    m_iconView->setItemDelegate(m_thumbnails);
    setViewStyle(ViewStyle::List);
}

void ShellFileList::setThumbnails(bool on) {
    m_thumbnailsOn = on;
    setViewStyle(m_style);
}

void ShellFileList::createFileModel() {
    auto* files = new QFileSystemModel(this);
    files->setIconProvider(&FileIcons());
    files->setReadOnly(false);
    files->setResolveSymlinks(false);
    // System items (devices, FIFOs, sockets, dangling links) count as hidden.
    QDir::Filters filters = QDir::AllEntries | QDir::NoDotAndDotDot;
    if (m_showHidden)
        filters |= QDir::Hidden | QDir::System;
    files->setFilter(filters);
    connect(files, &QFileSystemModel::directoryLoaded, this, [this](const QString& path) {
        if (QDir::cleanPath(path) == QDir::cleanPath(m_folder)) {
            m_loaded = true;
            emit folderLoaded();
        }
    });
    QFileSystemModel* old = m_files;
    m_files = files;
    m_filter->setSourceModel(files);
    delete old;
}

void ShellFileList::setFolder(const QString& folder) {
    m_folder = folder;
    applyRoot();
}

void ShellFileList::applyRoot() {
    m_loaded = false;
    if (m_folder.isEmpty())
        return;
    const QModelIndex root = m_files->setRootPath(m_folder);
    const QModelIndex proxyRoot = m_filter->mapFromSource(root);
    m_iconView->setRootIndex(proxyRoot);
    m_detailsView->setRootIndex(proxyRoot);
    m_filter->invalidate();
}

void ShellFileList::reread() {
    createFileModel();
    applyRoot();
    m_watchSuspended = false;
}

void ShellFileList::suspendWatching() {
    m_files->setOption(QFileSystemModel::DontWatchForChanges, true);
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
    m_filter->sort(column, order);
}

int ShellFileList::sortColumn() const {
    return m_filter->sortColumn();
}

Qt::SortOrder ShellFileList::sortOrder() const {
    return m_filter->sortOrder();
}

void ShellFileList::setListMasks(const QStringList& masks) {
    m_filter->setListMasks(masks);
}

void ShellFileList::setShowHidden(bool show) {
    if (show == m_showHidden)
        return;
    m_showHidden = show;
    reread();
}

void ShellFileList::applyBackground(QAbstractItemView* view) {
    // The tile is the viewport's base brush, so it shows behind every item and
    // its text; items paint no background of their own unless selected.
    QPalette palette = view->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setBrush(group, QPalette::Base,
                         m_texture.isNull() ? QWidget::palette().brush(group, QPalette::Base)
                                            : QBrush(m_texture));
        const QColor text =
            m_textColour.isValid() ? m_textColour : QWidget::palette().color(group, QPalette::Text);
        palette.setColor(group, QPalette::Text, text);
    }
    view->setPalette(palette);
    view->viewport()->update();
}

void ShellFileList::setTexture(const QImage& texture) {
    m_texture = texture;
    applyBackground(m_iconView);
    applyBackground(m_detailsView);
}

void ShellFileList::setTextColour(const QColor& colour) {
    m_textColour = colour;
    applyBackground(m_iconView);
    applyBackground(m_detailsView);
}

QColor ShellFileList::textColour() const {
    return m_iconView->palette().color(QPalette::Active, QPalette::Text);
}

QAbstractItemView* ShellFileList::activeView() const {
    return m_style == ViewStyle::Report ? static_cast<QAbstractItemView*>(m_detailsView)
                                        : static_cast<QAbstractItemView*>(m_iconView);
}

QString ShellFileList::pathAtViewPosition(QAbstractItemView* view, const QPoint& position) const {
    const QModelIndex index = view->indexAt(position);
    if (!index.isValid())
        return {};
    return m_files->filePath(m_filter->mapToSource(index.siblingAtColumn(0)));
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

QString ShellFileList::pathAt(int row) const {
    const QModelIndex root = m_iconView->rootIndex();
    return m_files->filePath(m_filter->mapToSource(m_filter->index(row, 0, root)));
}

QStringList ShellFileList::itemNames() const {
    QStringList names;
    const QModelIndex root = m_iconView->rootIndex();
    for (int row = 0; row < m_filter->rowCount(root); ++row)
        names.append(m_filter->index(row, 0, root).data().toString());
    return names;
}

QStringList ShellFileList::itemPaths() const {
    QStringList paths;
    for (int row = 0; row < m_filter->rowCount(m_iconView->rootIndex()); ++row)
        paths.append(pathAt(row));
    return paths;
}

QStringList ShellFileList::selectedPaths() const {
    QStringList paths;
    const QModelIndex root = m_iconView->rootIndex();
    for (int row = 0; row < m_filter->rowCount(root); ++row)
        if (m_selection->isSelected(m_filter->index(row, 0, root)))
            paths.append(pathAt(row));
    return paths;
}

int ShellFileList::selectedCount() const {
    return int(selectedPaths().size());
}

bool ShellFileList::hasCurrentItem() const {
    const QModelIndex current = m_selection->currentIndex();
    return current.isValid() && current.parent() == m_iconView->rootIndex();
}

void ShellFileList::selectNames(const QStringList& names) {
    const QModelIndex root = m_iconView->rootIndex();
    m_selection->clearSelection();
    for (int row = 0; row < m_filter->rowCount(root); ++row) {
        const QModelIndex item = m_filter->index(row, 0, root);
        if (names.contains(item.data().toString())) {
            m_selection->select(item, QItemSelectionModel::Select | QItemSelectionModel::Rows);
            m_selection->setCurrentIndex(item, QItemSelectionModel::NoUpdate);
        }
    }
}

void ShellFileList::selectAll() {
    const QModelIndex root = m_iconView->rootIndex();
    const int rows = m_filter->rowCount(root);
    if (rows == 0)
        return;
    const QItemSelection all(m_filter->index(0, 0, root),
                             m_filter->index(rows - 1, m_filter->columnCount(root) - 1, root));
    m_selection->select(all, QItemSelectionModel::Select);
    if (!hasCurrentItem())
        m_selection->setCurrentIndex(m_filter->index(0, 0, root), QItemSelectionModel::NoUpdate);
}

bool ShellFileList::editName(const QString& name) {
    const QModelIndex root = m_iconView->rootIndex();
    for (int row = 0; row < m_filter->rowCount(root); ++row) {
        const QModelIndex item = m_filter->index(row, 0, root);
        if (item.data().toString() == name) {
            activeView()->setCurrentIndex(item);
            activeView()->edit(item);
            return true;
        }
    }
    return false;
}
