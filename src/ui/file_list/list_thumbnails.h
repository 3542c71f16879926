#pragma once
// Pictures in the file list: the icon views paint each JPEG and bitmap file's
// thumbnail instead of the generic page icon. Thumbnails come from the shared
// thumbnail cache or are made on a background thread, newest request first:
// the view asks only for the items it paints, so the visible ones come first,
// and nothing the user does waits for one. A fast scroll over a large folder
// paints thousands of items on its way: what is painted while the view moves
// is not asked for, and what scrolled out of view before the worker got to
// it is dropped. Until a thumbnail is ready the generic icon stands.

#include "ui/file_list/file_item_delegate.h"

#include "base/threads/owned_thread_pool.h"
#include <QCache>
#include <QHash>
#include <QMutex>
#include <QPersistentModelIndex>
#include <QPixmap>
#include <QSet>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <list>

class QListView;

class ListThumbnails : public FileItemDelegate {
public:
    explicit ListThumbnails(QListView* view);
    ~ListThumbnails() override;

    void setEnabled(bool on);
    bool isEnabled() const { return m_enabled; }
    // Whether the thumbnail of this picture is at hand (tests, benchmarks).
    bool isReady(const QString& path) const;

    // What was asked for and made since the list was built (tests,
    // benchmarks).
    struct Counts {
        int requested = 0;  // pictures painted without their thumbnail at hand
        int made = 0;       // thumbnails made or taken from the disk cache
        int failed = 0;     // pictures that could not be read
        int dropped = 0;    // asked for, out of view before the worker got to them
        int mostQueued = 0; // the longest the queue grew
    };
    Counts counts() const;
    // Nothing is waiting to be asked for, made or delivered.
    bool isIdle() const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    // The item's path when it is a picture that should show its thumbnail.
    QString picturePath(const QModelIndex& index) const;
    void request(const QString& path, const QModelIndex& index) const;
    void work();
    void deliver();
    // The view scrolled or was laid out anew.
    void moved();
    // Drops the queued pictures that are no longer in view; once per turn
    // of the event loop, after the view scrolled or was laid out anew.
    void dropUnseenSoon();
    void dropUnseen();

    struct Finished {
        QString path;
        QImage image; // null: the picture cannot be read
    };

    QListView* m_view;
    bool m_enabled = false;
    mutable QCache<QString, QPixmap> m_ready; // cost: kilobytes
    mutable QSet<QString> m_failed;
    // Where each picture asked for was painted, to paint it again there.
    mutable QHash<QString, QPersistentModelIndex> m_paintedAt;
    // Shared with the worker.
    mutable QMutex m_mutex;
    mutable std::list<QString> m_queue; // newest last
    // Every path asked for and not yet delivered, with its place in the
    // queue (end() once the worker took it).
    mutable QHash<QString, std::list<QString>::iterator> m_queued;
    mutable bool m_working = false;
    std::deque<Finished> m_finished; // made, waiting for the event loop
    bool m_deliveryPosted = false;
    bool m_dropPosted = false;
    QTimer m_settling;       // runs while the view has not rested since it moved
    mutable Counts m_counts; // under m_mutex
    bool m_closing = false;
    OwnedThreadPool m_pool{1}; // the window's own work keeps the other core
};
