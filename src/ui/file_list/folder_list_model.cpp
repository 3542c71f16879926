#include "ui/file_list/folder_list_model.h"

#include "ui/file_list/file_list_filter.h"
#include "ui/file_list/list_order.h"
#include "ui/icons/theme_icons.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QImage>
#include <QLocale>

#include <algorithm>

namespace {

bool isAscii(const QString& name) {
    return std::all_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x80; });
}

bool sameItems(const std::vector<FolderEntry>& a, const std::vector<FolderEntry>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const FolderEntry& x, const FolderEntry& y) {
                          return x.name == y.name && x.kind == y.kind;
                      });
}

// In a string of exactly its length: "mark all" in a folder of a hundred
// thousand pictures makes as many paths, and a path grown by appending
// copies itself and keeps room to grow.
QString pathInFolder(const QString& folder, const QString& name) {
    const bool slash = !folder.endsWith(QLatin1Char('/'));
    QString path;
    path.reserve(folder.size() + qsizetype(slash) + name.size());
    path.append(folder);
    if (slash)
        path.append(QLatin1Char('/'));
    path.append(name);
    return path;
}

bool sameDetails(const FolderEntry& a, const FolderEntry& b) {
    return a.size == b.size && a.modifiedMs == b.modifiedMs;
}

} // namespace

// Sorted batches merged into one list in the chosen order.
std::vector<FolderEntry> FolderListModel::mergeBatches(FolderLoader::Batches&& batches) const {
    const auto less = [this](const FolderEntry& a, const FolderEntry& b) { return rowLess(a, b); };
    if (!inListOrder())
        for (std::vector<FolderEntry>& batch : batches)
            std::sort(batch.begin(), batch.end(), less);
    std::vector<FolderEntry> merged = std::move(batches.front());
    for (std::size_t k = 1; k < batches.size(); ++k) {
        std::vector<FolderEntry> next;
        next.reserve(merged.size() + batches[k].size());
        std::merge(std::make_move_iterator(merged.begin()), std::make_move_iterator(merged.end()),
                   std::make_move_iterator(batches[k].begin()),
                   std::make_move_iterator(batches[k].end()), std::back_inserter(next), less);
        merged = std::move(next);
    }
    return merged;
}

bool FolderListModel::rowLess(const FolderEntry& a, const FolderEntry& b) const {
    const bool aFolder = a.kind == FolderEntryKind::Folder;
    if (aFolder != (b.kind == FolderEntryKind::Folder))
        return aFolder;
    const bool ascending = m_sortOrder == Qt::AscendingOrder;
    const FolderEntry& x = ascending ? a : b;
    const FolderEntry& y = ascending ? b : a;
    switch (m_sortColumn) {
    case SizeColumn:
        if (!aFolder && x.size != y.size)
            return x.size < y.size;
        break;
    case TypeColumn:
        if (const int order = typeName(x).compare(typeName(y), Qt::CaseInsensitive))
            return order < 0;
        break;
    case DateColumn:
        if (x.modifiedMs != y.modifiedMs)
            return x.modifiedMs < y.modifiedMs;
        break;
    default:
        break;
    }
    return ListOrderLess(x, y);
}

void FolderListModel::setSortOrder(int column, Qt::SortOrder order) {
    m_sortColumn = (column > NameColumn && column < ColumnCount) ? column : int(NameColumn);
    m_sortOrder = order;
    std::vector<int> byOrder(m_rows.size());
    for (std::size_t row = 0; row < byOrder.size(); ++row)
        byOrder[row] = int(row);
    std::stable_sort(byOrder.begin(), byOrder.end(), [this](int a, int b) {
        return rowLess(m_rows[std::size_t(a)], m_rows[std::size_t(b)]);
    });
    std::vector<FolderEntry> rows;
    rows.reserve(m_rows.size());
    std::vector<int> newRowOfOld(m_rows.size());
    for (const int old : byOrder) {
        newRowOfOld[std::size_t(old)] = int(rows.size());
        rows.push_back(m_rows[std::size_t(old)]);
    }
    beginMovingRows();
    endMovingRows(std::move(rows), newRowOfOld);
}

FolderListModel::FolderListModel(QObject* parent)
    : QAbstractTableModel(parent),
      m_loader(new FolderLoader(
          [this](FolderLoader::Batches&& batches) { takeBatches(std::move(batches)); },
          [this](bool readable) { readEnded(readable); }, this)) {
    m_request.masks = QStringList{QStringLiteral("*.*")};
    m_changeDelay.setSingleShot(true);
    connect(&m_changeDelay, &QTimer::timeout, this, [this] {
        if (m_watching && !m_request.folder.isEmpty())
            startReading(FolderLoader::Delivery::Whole);
    });
}

FolderListModel::~FolderListModel() {
    // The loader's threads call back into this model until they are done.
    delete m_loader;
    m_loader = nullptr;
}

void FolderListModel::setFolder(const QString& folder) {
    m_request.folder = folder.isEmpty() ? QString() : QDir::cleanPath(folder);
    reread();
}

bool FolderListModel::isCurrent() const {
    return m_loaded && !m_changedUnread && !m_loader->running() && !m_changeDelay.isActive() &&
           !m_changedWhileReading;
}

QString FolderListModel::filePath(int row) const {
    return pathInFolder(m_request.folder, entry(row).name);
}

void FolderListModel::reread() {
    m_changeDelay.stop();
    m_changedWhileReading = false;
    m_changedUnread = false;
    beginResetModel();
    std::vector<FolderEntry>().swap(m_rows);
    // Type names follow the language, which may have changed.
    m_types.clear();
    endResetModel();
    m_loaded = false;
    watchFolder();
    if (m_request.folder.isEmpty()) {
        m_loader->abandon();
        return;
    }
    startReading(FolderLoader::Delivery::Growing);
}

void FolderListModel::setWatching(bool on) {
    m_watching = on;
    if (!on) {
        // A change waiting, or being read, stays unread.
        m_changedUnread |= m_changeDelay.isActive() || m_changedWhileReading ||
                           (m_loader->running() && m_delivery == FolderLoader::Delivery::Whole);
        m_changeDelay.stop();
        m_changedWhileReading = false;
        // A re-read behind the list is no longer wanted; a first read goes on.
        if (m_loader->running() && m_delivery == FolderLoader::Delivery::Whole)
            m_loader->abandon();
    }
    // Watched also while not watching: a change is then only noted, so that
    // isCurrent() knows the list may be out of date. A watch the folder has
    // stays: a new one costs the system a look at every entry of the folder.
    if (!m_watcher || m_watcher->directories() != QStringList{m_request.folder})
        watchFolder();
}

void FolderListModel::watchFolder() {
    if (m_watcher && !m_watcher->directories().isEmpty())
        m_watcher->removePaths(m_watcher->directories());
    if (m_request.folder.isEmpty() || !QFileInfo(m_request.folder).isDir())
        return;
    if (!m_watcher) {
        m_watcher = new QFileSystemWatcher(this);
        connect(m_watcher, &QFileSystemWatcher::directoryChanged, this,
                [this] { folderChanged(); });
    }
    m_watcher->addPath(m_request.folder);
}

void FolderListModel::startReading(FolderLoader::Delivery delivery) {
    m_delivery = delivery;
    m_readClock.start();
    m_loader->start(m_request, delivery);
}

void FolderListModel::folderChanged() {
    if (!m_watching) {
        m_changedUnread = true;
        return;
    }
    if (m_loader->running()) {
        m_changedWhileReading = true;
        return;
    }
    // A folder that takes long to read is not read again at every change
    // while another program fills it.
    m_changeDelay.start(int(std::clamp<qint64>(2 * m_lastReadMs, 200, 2000)));
}

void FolderListModel::takeBatches(FolderLoader::Batches&& batches) {
    if (m_delivery == FolderLoader::Delivery::Whole)
        replaceKeepingItems(mergeBatches(std::move(batches)));
    else
        mergeIn(std::move(batches));
}

void FolderListModel::readEnded(bool /*readable*/) {
    m_lastReadMs = m_readClock.elapsed();
    const bool first = !m_loaded;
    m_loaded = true;
    if (m_changedWhileReading) {
        m_changedWhileReading = false;
        folderChanged();
    }
    if (first)
        emit loaded();
}

void FolderListModel::mergeIn(FolderLoader::Batches&& batches) {
    std::vector<FolderEntry> incoming = mergeBatches(std::move(batches));
    if (m_rows.empty()) {
        beginInsertRows(QModelIndex(), 0, int(incoming.size()) - 1);
        m_rows = std::move(incoming);
        endInsertRows();
        return;
    }
    beginMovingRows();
    std::vector<FolderEntry> rows;
    rows.reserve(m_rows.size() + incoming.size());
    std::vector<int> newRowOfOld(m_rows.size());
    std::size_t old = 0;
    for (FolderEntry& item : incoming) {
        while (old < m_rows.size() && !rowLess(item, m_rows[old])) {
            newRowOfOld[old] = int(rows.size());
            rows.push_back(std::move(m_rows[old++]));
        }
        rows.push_back(std::move(item));
    }
    for (; old < m_rows.size(); ++old) {
        newRowOfOld[old] = int(rows.size());
        rows.push_back(std::move(m_rows[old]));
    }
    endMovingRows(std::move(rows), newRowOfOld);
}

void FolderListModel::replaceKeepingItems(std::vector<FolderEntry>&& rows) {
    if (sameItems(m_rows, rows)) {
        // Only sizes and times may have changed: no new layout.
        int first = -1, last = -1;
        for (std::size_t row = 0; row < rows.size(); ++row) {
            if (sameDetails(m_rows[row], rows[row]))
                continue;
            first = first < 0 ? int(row) : first;
            last = int(row);
        }
        m_rows = std::move(rows);
        if (first >= 0)
            emit dataChanged(index(first, 0), index(last, ColumnCount - 1));
        return;
    }
    QHash<QString, int> newRowOfName;
    newRowOfName.reserve(qsizetype(rows.size()));
    for (std::size_t row = 0; row < rows.size(); ++row)
        newRowOfName.insert(rows[row].name, int(row));
    std::vector<int> newRowOfOld(m_rows.size());
    for (std::size_t row = 0; row < m_rows.size(); ++row)
        newRowOfOld[row] = newRowOfName.value(m_rows[row].name, -1);
    beginMovingRows();
    endMovingRows(std::move(rows), newRowOfOld);
}

void FolderListModel::beginMovingRows() {
    // A sort-like change: the selection model keeps each selected row by
    // itself, so rows that come in between are not selected with them.
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
}

void FolderListModel::endMovingRows(std::vector<FolderEntry>&& rows,
                                    const std::vector<int>& newRowOfOld) {
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before) {
        const int row = newRowOfOld[std::size_t(index.row())];
        after.append(row < 0 ? QModelIndex() : createIndex(row, index.column()));
    }
    m_rows = std::move(rows);
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int FolderListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int FolderListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString FolderListModel::extensionKey(const FolderEntry& item) const {
    if (item.kind == FolderEntryKind::Folder)
        return QStringLiteral("/");
    // A name without extension may be typed by its whole name (Makefile).
    const QString extension = NameExtension(item.name);
    return (extension.isEmpty() ? item.name : extension).toLower();
}

QString FolderListModel::typeName(const FolderEntry& item) const {
    const QString key = extensionKey(item);
    auto found = m_types.constFind(key);
    if (found == m_types.cend()) {
        // Also asked for entries of a batch not yet in the list.
        const QFileInfo file(pathInFolder(m_request.folder, item.name));
        found = m_types.insert(key, FileIcons().type(file));
    }
    return found.value();
}

QIcon FolderListModel::icon(const FolderEntry& item) const {
    const QString key = extensionKey(item);
    auto found = m_icons.constFind(key);
    if (found == m_icons.cend()) {
        const auto row = std::size_t(&item - m_rows.data());
        found = m_icons.insert(key, FileIcons().icon(QFileInfo(filePath(int(row)))));
    }
    return found.value();
}

QVariant FolderListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || std::size_t(index.row()) >= m_rows.size())
        return {};
    const FolderEntry& item = m_rows[std::size_t(index.row())];
    const bool folder = item.kind == FolderEntryKind::Folder;
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case NameColumn:
            return item.name;
        case SizeColumn:
            // Sizes and dates in the program's language (the default locale).
            return folder ? QString() : QLocale().formattedDataSize(item.size);
        case TypeColumn:
            return typeName(item);
        case DateColumn:
            return item.modifiedMs == 0
                       ? QString()
                       : QLocale().toString(QDateTime::fromMSecsSinceEpoch(item.modifiedMs),
                                            QLocale::ShortFormat);
        default:
            return {};
        }
    case Qt::EditRole:
        return index.column() == NameColumn ? QVariant(item.name) : QVariant();
    case Qt::DecorationRole:
        return index.column() == NameColumn ? QVariant(icon(item)) : QVariant();
    case Qt::TextAlignmentRole:
        return index.column() == SizeColumn ? QVariant(int(Qt::AlignTrailing | Qt::AlignVCenter))
                                            : QVariant();
    case FilePathRole:
        return filePath(index.row());
    default:
        return {};
    }
}

QVariant FolderListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DecorationRole && section == NameColumn) {
        // An empty picture as wide as the items' icons keeps the first
        // header's text above the names.
        QImage spacer(16, 1, QImage::Format_ARGB32_Premultiplied);
        spacer.fill(Qt::transparent);
        return spacer;
    }
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignLeft);
    if (role != Qt::DisplayRole)
        return {};
    // Qt's own words for these columns, which its translations carry.
    switch (section) {
    case NameColumn:
        return QCoreApplication::translate("QFileSystemModel", "Name");
    case SizeColumn:
        return QCoreApplication::translate("QFileSystemModel", "Size");
    case TypeColumn:
        return QCoreApplication::translate("QFileSystemModel", "Type", "All other platforms");
    case DateColumn:
        return QCoreApplication::translate("QFileSystemModel", "Date Modified");
    default:
        return {};
    }
}

Qt::ItemFlags FolderListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    if (index.column() == NameColumn)
        flags |= Qt::ItemIsEditable | Qt::ItemIsDragEnabled;
    return flags;
}

bool FolderListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || index.column() != NameColumn)
        return false;
    const int row = index.row();
    const QString newName = value.toString();
    if (newName == entry(row).name)
        return true;
    if (!RenameWithoutReplacing(filePath(row), newName))
        return false;
    FolderEntry renamed = entry(row);
    renamed.name = newName;
    renamed.ascii = isAscii(newName);
    renamed.faithful = true;
    // The item takes its place under its new name, or leaves the list when
    // the filter no longer shows it.
    const bool shown = FolderRequestAdmits(m_request, renamed);
    beginMovingRows();
    std::vector<FolderEntry> rows;
    rows.reserve(m_rows.size());
    std::vector<int> newRowOfOld(m_rows.size(), -1);
    for (std::size_t old = 0; old < m_rows.size(); ++old) {
        if (int(old) == row)
            continue;
        if (shown && rowLess(renamed, m_rows[old]) && newRowOfOld[std::size_t(row)] < 0) {
            newRowOfOld[std::size_t(row)] = int(rows.size());
            rows.push_back(renamed);
        }
        newRowOfOld[old] = int(rows.size());
        rows.push_back(std::move(m_rows[old]));
    }
    if (shown && newRowOfOld[std::size_t(row)] < 0) {
        newRowOfOld[std::size_t(row)] = int(rows.size());
        rows.push_back(renamed);
    }
    const int newRow = newRowOfOld[std::size_t(row)];
    endMovingRows(std::move(rows), newRowOfOld);
    if (newRow >= 0)
        emit dataChanged(this->index(newRow, 0), this->index(newRow, ColumnCount - 1));
    return true;
}
