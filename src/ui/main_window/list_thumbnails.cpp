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
    m_view->viewport()->update();
}

bool ListThumbnails::isReady(const QString& path) const {
    return m_ready.contains(path);
}

void ListThumbnails::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (!m_enabled)
        return;
    const QString path = index.data(QFileSystemModel::FilePathRole).toString();
    if (PictureKind(path) == PictureFileKind::None || m_failed.contains(path))
        return;
    if (const QPixmap* thumbnail = m_ready.object(path)) {
        option->icon = QIcon(*thumbnail);
        option->features |= QStyleOptionViewItem::HasDecoration;
        return;
    }
    request(path);
}

void ListThumbnails::request(const QString& path) const {
    const QMutexLocker lock(&m_mutex);
    if (m_queued.contains(path)) {
        // Painted again: it is visible now, so it moves to the front.
        m_queue.removeOne(path);
        m_queue.append(path);
        return;
    }
    m_queued.insert(path);
    m_queue.append(path);
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
            if (m_queue.isEmpty() || m_closing) {
                m_working = false;
                return;
            }
            path = m_queue.takeLast();
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
