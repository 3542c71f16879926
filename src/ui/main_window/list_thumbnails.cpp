#include "ui/main_window/list_thumbnails.h"

#include "engine/thumbnail_cache.h"
#include "imaging/picture_files.h"

#include <QFileSystemModel>
#include <QListView>
#include <QSortFilterProxyModel>

namespace {

// Thumbnails held in memory for painting; beyond that the oldest go and come
// back from the disk cache when they are painted again.
constexpr int kHeldKilobytes = 64 * 1024;

} // namespace

ListThumbnails::ListThumbnails(QListView* view, QSortFilterProxyModel* filter)
    : QStyledItemDelegate(view), m_view(view), m_filter(filter), m_ready(kHeldKilobytes) {
    // One background thread: the window's own work keeps the other core.
    m_pool.setMaxThreadCount(1);
}

ListThumbnails::~ListThumbnails() {
    {
        const QMutexLocker lock(&m_mutex);
        m_queue.clear();
        m_closing = true;
    }
    m_pool.waitForDone();
}

void ListThumbnails::setEnabled(bool on) {
    m_enabled = on;
    if (!on) {
        // Off for a slow folder means no more reading there.
        const QMutexLocker lock(&m_mutex);
        m_queue.clear();
        m_queued.clear();
    }
    m_view->viewport()->update();
}

bool ListThumbnails::isReady(const QString& path) const {
    return m_ready.contains(path);
}

QString ListThumbnails::picturePath(const QModelIndex& index) const {
    if (!m_enabled)
        return QString();
    QString path = index.data(QFileSystemModel::FilePathRole).toString();
    if (PictureKind(path) == PictureFileKind::None || m_failed.contains(path))
        return QString();
    return path;
}

void ListThumbnails::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    const QString path = picturePath(index);
    if (path.isEmpty())
        return;
    if (const QPixmap* thumbnail = m_ready.object(path)) {
        option->icon = QIcon(*thumbnail);
        option->features |= QStyleOptionViewItem::HasDecoration;
    }
}

void ListThumbnails::paint(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    // Asked for here only: the view also measures items it does not show
    // (a layout measures them all), and those must not go first.
    const QString path = picturePath(index);
    if (!path.isEmpty() && !m_ready.contains(path))
        request(path);
}

void ListThumbnails::request(const QString& path) const {
    const QMutexLocker lock(&m_mutex);
    if (const auto queued = m_queued.constFind(path); queued != m_queued.cend()) {
        // Painted again: it is visible now, so it moves to the front. A path
        // the worker has taken is no longer in the queue.
        if (queued.value() != m_queue.end())
            m_queue.splice(m_queue.end(), m_queue, queued.value());
        return;
    }
    m_queued.insert(path, m_queue.insert(m_queue.end(), path));
    if (!m_working) {
        m_working = true;
        const_cast<QThreadPool&>(m_pool).start(
            [self = const_cast<ListThumbnails*>(this)] { self->work(); });
    }
}

void ListThumbnails::work() {
    for (;;) {
        QString path;
        {
            const QMutexLocker lock(&m_mutex);
            if (m_queue.empty() || m_closing) {
                m_working = false;
                return;
            }
            path = std::move(m_queue.back());
            m_queue.pop_back();
            m_queued[path] = m_queue.end();
        }
        const QImage image = ThumbnailFor(path, ThumbnailFlavour::Normal);
        QMetaObject::invokeMethod(
            this, [this, path, image] { deliver(path, image); }, Qt::QueuedConnection);
    }
}

void ListThumbnails::deliver(const QString& path, const QImage& image) {
    {
        const QMutexLocker lock(&m_mutex);
        m_queued.remove(path);
    }
    if (image.isNull())
        m_failed.insert(path);
    else
        m_ready.insert(path, new QPixmap(QPixmap::fromImage(image)),
                       qMax<qsizetype>(1, image.sizeInBytes() / 1024));
    // The list makes a new file model for each folder: the current one, if
    // it still lists the picture.
    if (auto* files = qobject_cast<QFileSystemModel*>(m_filter->sourceModel())) {
        const QModelIndex index = m_filter->mapFromSource(files->index(path));
        if (index.isValid())
            m_view->update(index);
    }
}
