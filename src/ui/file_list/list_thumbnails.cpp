#include "ui/file_list/list_thumbnails.h"

#include "imaging/picture_files.h"
#include "imaging/thumbnail_cache.h"
#include "ui/file_list/focus_frame_delegate.h"
#include "ui/file_list/folder_list_model.h"
#include "ui/file_list/icon_halo.h"

#include <QListView>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace {

// Thumbnails held in memory for painting; beyond that the least recently used
// are evicted and come back from the disk cache when painted again.
constexpr int kHeldKilobytes = 64 * 1024;
// Thumbnails turned into pixmaps per turn of the event loop.
constexpr std::size_t kDeliveredPerTurn = 8;
// How long the view must rest after a scroll or a new layout (a folder
// arriving in batches) before what it paints is asked for: a drag of the
// scroll bar over a large folder paints thousands of items on its way.
constexpr int kSettleMs = 80;

} // namespace

ListThumbnails::ListThumbnails(QListView* view)
    : FileItemDelegate(view), m_view(view), m_ready(kHeldKilobytes) {
    m_settling.setSingleShot(true);
    m_settling.setInterval(kSettleMs);
    connect(&m_settling, &QTimer::timeout, this, [this] {
        dropUnseen();
        m_view->viewport()->update(); // asks for what is in view now
    });
    for (QScrollBar* bar : {view->horizontalScrollBar(), view->verticalScrollBar()}) {
        connect(bar, &QScrollBar::valueChanged, this, [this] { moved(); });
        connect(bar, &QScrollBar::rangeChanged, this, [this] { moved(); });
    }
}

void ListThumbnails::moved() {
    if (!m_enabled)
        return;
    m_settling.start();
    dropUnseenSoon();
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
        m_paintedAt.clear();
    } else {
        // Turned on with a change of view: the items are laid out anew.
        moved();
    }
    m_view->viewport()->update();
}

bool ListThumbnails::isReady(const QString& path) const {
    return m_ready.contains(path);
}

ListThumbnails::Counts ListThumbnails::counts() const {
    const QMutexLocker lock(&m_mutex);
    return m_counts;
}

bool ListThumbnails::isIdle() const {
    const QMutexLocker lock(&m_mutex);
    return m_queue.empty() && !m_working && m_finished.empty() && !m_settling.isActive();
}

QString ListThumbnails::picturePath(const QModelIndex& index) const {
    if (!m_enabled)
        return QString();
    QString path = index.data(FolderListModel::FilePathRole).toString();
    if (PictureKind(path) == PictureFileKind::None || m_failed.contains(path))
        return QString();
    return path;
}

void ListThumbnails::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    KeepIconVisible(*option);
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
    FocusFrameDelegate::PaintFocusFrame(painter, option);
    // Asked for here only: the view also measures items it does not show
    // (a layout measures them all), and those must not go first.
    // Nor while the items move: the view scrolls, or the folder still
    // arrives in batches that push the items down.
    const auto* model = qobject_cast<const FolderListModel*>(index.model());
    if (m_settling.isActive() || (model && !model->isLoaded()))
        return;
    const QString path = picturePath(index);
    if (!path.isEmpty() && !m_ready.contains(path))
        request(path, index);
}

void ListThumbnails::request(const QString& path, const QModelIndex& index) const {
    m_paintedAt.insert(path, index);
    const QMutexLocker lock(&m_mutex);
    if (const auto queued = m_queued.constFind(path); queued != m_queued.cend()) {
        // Painted again: it is visible now, so it moves to the front. A path
        // the worker has taken is no longer in the queue.
        if (queued.value() != m_queue.end())
            m_queue.splice(m_queue.end(), m_queue, queued.value());
        return;
    }
    m_queued.insert(path, m_queue.insert(m_queue.end(), path));
    ++m_counts.requested;
    m_counts.mostQueued = std::max(m_counts.mostQueued, int(m_queue.size()));
    if (!m_working) {
        m_working = true;
        const_cast<OwnedThreadPool&>(m_pool).start(
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
        QImage image = ThumbnailFor(path, ThumbnailFlavour::Normal);
        bool post = false;
        {
            const QMutexLocker lock(&m_mutex);
            m_finished.push_back({std::move(path), std::move(image)});
            post = !m_deliveryPosted;
            m_deliveryPosted = true;
        }
        if (post)
            QMetaObject::invokeMethod(
                this, [this] { deliver(); }, Qt::QueuedConnection);
    }
}

void ListThumbnails::deliver() {
    // Thumbnails found in the disk cache come much faster than the view
    // paints; a few per turn of the event loop keep scrolling smooth.
    std::vector<Finished> batch;
    bool more = false;
    {
        const QMutexLocker lock(&m_mutex);
        while (!m_finished.empty() && batch.size() < kDeliveredPerTurn) {
            m_queued.remove(m_finished.front().path);
            batch.push_back(std::move(m_finished.front()));
            m_finished.pop_front();
        }
        more = !m_finished.empty();
        m_deliveryPosted = more;
    }
    for (const Finished& done : batch) {
        {
            const QMutexLocker lock(&m_mutex);
            ++(done.image.isNull() ? m_counts.failed : m_counts.made);
        }
        if (done.image.isNull())
            m_failed.insert(done.path);
        else
            m_ready.insert(done.path, new QPixmap(QPixmap::fromImage(done.image)),
                           qMax<qsizetype>(1, done.image.sizeInBytes() / 1024));
        // Where it was painted, if the list still shows it (another folder
        // leaves the index invalid).
        const QPersistentModelIndex index = m_paintedAt.take(done.path);
        if (index.isValid())
            m_view->update(index);
    }
    if (more)
        QTimer::singleShot(0, this, [this] { deliver(); });
}

void ListThumbnails::dropUnseenSoon() {
    if (m_dropPosted)
        return;
    m_dropPosted = true;
    QTimer::singleShot(0, this, [this] { dropUnseen(); });
}

void ListThumbnails::dropUnseen() {
    m_dropPosted = false;
    const QRect inView = m_view->viewport()->rect();
    const QMutexLocker lock(&m_mutex);
    for (auto queued = m_queue.begin(); queued != m_queue.end();) {
        // Gone with another folder, or scrolled away: painted again, it
        // is asked for again.
        const auto painted = m_paintedAt.constFind(*queued);
        if (painted != m_paintedAt.cend() && painted->isValid() &&
            inView.intersects(m_view->visualRect(*painted))) {
            ++queued;
            continue;
        }
        m_paintedAt.remove(*queued);
        m_queued.remove(*queued);
        queued = m_queue.erase(queued);
        ++m_counts.dropped;
    }
}
