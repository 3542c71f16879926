#include "ui/folder_tree/folder_tree_model.h"

#include "fs/folder_entries.h"
#include "ui/icons/theme_icons.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace {

QCollator FolderCollator() {
    QCollator collator;
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

bool FolderNameLess(const QCollator& collator, const QString& a, const QString& b) {
    const int order = collator.compare(a, b);
    return order != 0 ? order < 0 : a < b;
}

// The visible sub-folders of `path`, sorted.
QStringList ReadSubFolders(const QString& path) {
    FolderEntryReader reader(path, FolderEntryReader::Detail::KindOnly);
    std::vector<FolderEntry> entries;
    QStringList names;
    bool more = reader.isOpen();
    while (more) {
        entries.clear();
        more = reader.read(entries, 4096);
        for (const FolderEntry& entry : entries)
            if (entry.kind == FolderEntryKind::Folder && !entry.name.startsWith(QLatin1Char('.')))
                names.append(entry.name);
    }
    const QCollator collator = FolderCollator();
    std::sort(names.begin(), names.end(), [&collator](const QString& a, const QString& b) {
        return FolderNameLess(collator, a, b);
    });
    return names;
}

} // namespace

FolderTreeModel::FolderTreeModel(QObject* parent)
    : QAbstractItemModel(parent), m_collator(FolderCollator()),
      m_folderIcon(FileIcons().icon(QFileInfo(QStringLiteral("/")))) {
    auto root = std::make_unique<Node>();
    root->name = QStringLiteral("/");
    root->parent = &m_top;
    m_top.children.push_back(std::move(root));
    m_top.state = Node::State::Read;
}

FolderTreeModel::~FolderTreeModel() {
    m_pool.waitForDone();
}

FolderTreeModel::Node* FolderTreeModel::nodeOf(const QModelIndex& index) const {
    return index.isValid() ? static_cast<Node*>(index.internalPointer())
                           : const_cast<Node*>(&m_top);
}

QModelIndex FolderTreeModel::indexOfNode(Node* node) const {
    if (node == &m_top)
        return {};
    const auto& siblings = node->parent->children;
    const auto at =
        std::find_if(siblings.begin(), siblings.end(),
                     [node](const std::unique_ptr<Node>& n) { return n.get() == node; });
    return createIndex(int(at - siblings.begin()), 0, node);
}

QString FolderTreeModel::pathOf(const Node* node) const {
    if (node->parent == &m_top)
        return node->name;
    const QString above = pathOf(node->parent);
    return above.endsWith(QLatin1Char('/')) ? above + node->name
                                            : above + QLatin1Char('/') + node->name;
}

QString FolderTreeModel::filePath(const QModelIndex& index) const {
    return index.isValid() ? pathOf(nodeOf(index)) : QString();
}

QModelIndex FolderTreeModel::indexOf(const QString& path) {
    if (!path.startsWith(QLatin1Char('/')) || !QFileInfo(path).isDir())
        return {};
    Node* node = m_top.children.front().get();
    for (const QString& part : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        const auto& children = node->children;
        const auto found =
            std::find_if(children.begin(), children.end(),
                         [&part](const std::unique_ptr<Node>& n) { return n->name == part; });
        node = found != children.end() ? found->get() : addChild(node, part);
    }
    return indexOfNode(node);
}

std::size_t FolderTreeModel::placeOf(const Node* parent, const QString& name) const {
    const auto& children = parent->children;
    const auto at = std::lower_bound(children.begin(), children.end(), name,
                                     [this](const std::unique_ptr<Node>& n, const QString& key) {
                                         return FolderNameLess(m_collator, n->name, key);
                                     });
    return std::size_t(at - children.begin());
}

FolderTreeModel::Node* FolderTreeModel::addChild(Node* parent, const QString& name) {
    const std::size_t row = placeOf(parent, name);
    auto child = std::make_unique<Node>();
    child->name = name;
    child->parent = parent;
    Node* added = child.get();
    beginInsertRows(indexOfNode(parent), int(row), int(row));
    parent->children.insert(parent->children.begin() + std::ptrdiff_t(row), std::move(child));
    endInsertRows();
    return added;
}

void FolderTreeModel::subFoldersRead(Node* node, const QStringList& names) {
    node->state = Node::State::Read;
    QSet<QString> present;
    for (const auto& child : node->children)
        present.insert(child->name);
    // Both lists are sorted: each run of new names goes in before the first
    // folder already there that sorts after it (one made on a selected
    // path's way), in one insertion.
    const QModelIndex parent = indexOfNode(node);
    auto& children = node->children;
    std::size_t row = 0;
    for (qsizetype next = 0; next < names.size();) {
        if (present.contains(names[next])) {
            ++next;
            continue;
        }
        while (row < children.size() &&
               FolderNameLess(m_collator, children[row]->name, names[next]))
            ++row;
        std::vector<std::unique_ptr<Node>> run;
        for (; next < names.size() && !present.contains(names[next]) &&
               (row == children.size() ||
                FolderNameLess(m_collator, names[next], children[row]->name));
             ++next) {
            run.push_back(std::make_unique<Node>());
            run.back()->name = names[next];
            run.back()->parent = node;
        }
        if (run.empty()) {
            ++next;
            continue;
        }
        beginInsertRows(parent, int(row), int(row + run.size() - 1));
        children.insert(children.begin() + std::ptrdiff_t(row),
                        std::make_move_iterator(run.begin()), std::make_move_iterator(run.end()));
        endInsertRows();
        row += run.size();
    }
    emit directoryLoaded(pathOf(node));
}

QModelIndex FolderTreeModel::index(int row, int column, const QModelIndex& parent) const {
    const Node* node = nodeOf(parent);
    if (column != 0 || row < 0 || std::size_t(row) >= node->children.size())
        return {};
    return createIndex(row, 0, node->children[std::size_t(row)].get());
}

QModelIndex FolderTreeModel::parent(const QModelIndex& child) const {
    return child.isValid() ? indexOfNode(nodeOf(child)->parent) : QModelIndex();
}

int FolderTreeModel::rowCount(const QModelIndex& parent) const {
    return parent.column() > 0 ? 0 : int(nodeOf(parent)->children.size());
}

int FolderTreeModel::columnCount(const QModelIndex& /*parent*/) const {
    return 1;
}

bool FolderTreeModel::hasChildren(const QModelIndex& parent) const {
    const Node* node = nodeOf(parent);
    // A folder not read yet may have sub-folders: it offers to be opened.
    return node->state == Node::State::Unread || !node->children.empty();
}

bool FolderTreeModel::canFetchMore(const QModelIndex& parent) const {
    return nodeOf(parent)->state == Node::State::Unread;
}

void FolderTreeModel::fetchMore(const QModelIndex& parent) {
    Node* node = nodeOf(parent);
    if (node->state != Node::State::Unread)
        return;
    node->state = Node::State::Reading;
    // Nodes live as long as the model, and the model waits for its readers.
    m_pool.start([this, node, path = pathOf(node)] {
        const QStringList names = ReadSubFolders(path);
        QMetaObject::invokeMethod(
            this, [this, node, names] { subFoldersRead(node, names); }, Qt::QueuedConnection);
    });
}

QVariant FolderTreeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return nodeOf(index)->name;
    if (role == Qt::DecorationRole)
        return m_folderIcon;
    return {};
}

Qt::ItemFlags FolderTreeModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
}
