#include "ui/features/similar/similar_result_view.h"

#include "i18n/own_texts.h"
#include "imaging/thumbnail_cache.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QHeaderView>
#include <QLocale>
#include <QPointer>
#include <QStyledItemDelegate>

namespace {

constexpr int kThumbnailEdge = 128;
constexpr int kCellWidth = 190;
constexpr int kCellHeight = kThumbnailEdge + 92; // room for a folder on two lines
constexpr int kPathRole = Qt::UserRole;
constexpr int kKeptThumbnails = 2000;

// The picture above its text, both centred.
class PictureAboveText : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->decorationPosition = QStyleOptionViewItem::Top;
        option->decorationAlignment = Qt::AlignHCenter | Qt::AlignTop;
        option->displayAlignment = Qt::AlignHCenter | Qt::AlignTop;
        option->decorationSize = QSize(kThumbnailEdge, kThumbnailEdge);
    }
};

} // namespace

SimilarResultView::SimilarResultView(QWidget* parent)
    : QTableWidget(parent), m_thumbnails(kKeptThumbnails),
      m_alive(std::make_shared<std::atomic<bool>>(true)) {
    setItemDelegate(new PictureAboveText(this));
    setSelectionMode(QAbstractItemView::MultiSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(true);
    setTextElideMode(Qt::ElideMiddle);
    horizontalHeader()->setDefaultSectionSize(kCellWidth);
    horizontalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(kCellHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setIconSize(QSize(kThumbnailEdge, kThumbnailEdge));
}

SimilarResultView::~SimilarResultView() {
    *m_alive = false;
    m_pool.clear();
    m_pool.waitForDone();
}

QString SimilarResultView::cellText(const SimilarPicture& picture) const {
    const QLocale locale;
    const QDateTime modified = QDateTime::fromMSecsSinceEpoch(picture.modifiedNs / 1000000);
    const QFileInfo info(picture.path);
    return OwnText("similar.cell")
        .arg(picture.width)
        .arg(picture.height)
        .arg(locale.toString(picture.bytes), locale.toString(modified, QLocale::ShortFormat),
             info.absolutePath());
}

void SimilarResultView::setGroups(const QList<SimilarGroup>& groups) {
    m_groups = groups;
    ++m_generation;
    m_requested.clear();
    m_cellsOf.clear();
    clear();
    qsizetype columns = 0;
    for (const SimilarGroup& group : groups)
        columns = std::max(columns, group.size());
    setRowCount(int(groups.size()));
    setColumnCount(int(columns));
    for (int row = 0; row < rowCount(); ++row) {
        const SimilarGroup& group = groups.at(row);
        for (int column = 0; column < columnCount(); ++column) {
            auto* item = new QTableWidgetItem;
            if (column >= group.size()) {
                item->setFlags(Qt::NoItemFlags);
                setItem(row, column, item);
                continue;
            }
            const SimilarPicture& picture = group.at(column);
            item->setText(cellText(picture));
            item->setToolTip(picture.path);
            item->setData(kPathRole, picture.path);
            if (column == 0) {
                QFont bold = font();
                bold.setBold(true);
                item->setFont(bold);
            }
            if (const QPixmap* thumbnail = m_thumbnails.object(picture.path))
                item->setIcon(*thumbnail);
            setItem(row, column, item);
            m_cellsOf[picture.path].append({row, column});
        }
    }
    requestVisibleThumbnails();
}

void SimilarResultView::retranslate() {
    for (int row = 0; row < rowCount() && row < m_groups.size(); ++row)
        for (int column = 0; column < m_groups.at(row).size(); ++column)
            if (QTableWidgetItem* cell = item(row, column))
                cell->setText(cellText(m_groups.at(row).at(column)));
}

QString SimilarResultView::pathAt(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->data(kPathRole).toString() : QString();
}

QStringList SimilarResultView::markedPaths() const {
    QStringList paths;
    for (int row = 0; row < rowCount(); ++row)
        for (int column = 0; column < columnCount(); ++column) {
            const QTableWidgetItem* cell = item(row, column);
            if (cell && cell->isSelected() && !pathAt(row, column).isEmpty())
                paths.append(pathAt(row, column));
        }
    return paths;
}

void SimilarResultView::markPaths(const QStringList& paths) {
    const QSet<QString> wanted(paths.begin(), paths.end());
    for (int row = 0; row < rowCount(); ++row)
        for (int column = 0; column < columnCount(); ++column)
            if (QTableWidgetItem* cell = item(row, column))
                cell->setSelected(wanted.contains(pathAt(row, column)));
}

bool SimilarResultView::hasThumbnail(const QString& path) const {
    return m_thumbnails.contains(path);
}

void SimilarResultView::scrollContentsBy(int dx, int dy) {
    QTableWidget::scrollContentsBy(dx, dy);
    requestVisibleThumbnails();
}

void SimilarResultView::resizeEvent(QResizeEvent* event) {
    QTableWidget::resizeEvent(event);
    requestVisibleThumbnails();
}

void SimilarResultView::requestVisibleThumbnails() {
    if (rowCount() == 0)
        return;
    int first = rowAt(0);
    int last = rowAt(viewport()->height() - 1);
    if (first < 0)
        first = 0;
    if (last < 0)
        last = rowCount() - 1;
    // The rows in view, and one screen below them for the next scroll.
    last = std::min(rowCount() - 1, last + (last - first + 1));
    const int generation = m_generation;
    QPointer<SimilarResultView> self(this);
    const std::shared_ptr<std::atomic<bool>> alive = m_alive;
    for (int row = first; row <= last; ++row) {
        for (const SimilarPicture& picture : m_groups.at(row)) {
            if (m_thumbnails.contains(picture.path) || m_requested.contains(picture.path))
                continue;
            m_requested.insert(picture.path);
            const QString path = picture.path;
            m_pool.start([self, alive, path, generation] {
                if (!*alive)
                    return;
                const QImage image = ThumbnailFor(path, ThumbnailFlavour::Normal);
                QMetaObject::invokeMethod(
                    QCoreApplication::instance(),
                    [self, path, image, generation] {
                        if (self)
                            self->deliver(path, image, generation);
                    },
                    Qt::QueuedConnection);
            });
        }
    }
}

void SimilarResultView::deliver(const QString& path, const QImage& image, int generation) {
    if (generation != m_generation || image.isNull())
        return;
    auto* thumbnail = new QPixmap(QPixmap::fromImage(image));
    for (const auto& [row, column] : m_cellsOf.value(path))
        if (QTableWidgetItem* cell = item(row, column))
            cell->setIcon(*thumbnail);
    m_thumbnails.insert(path, thumbnail);
}
