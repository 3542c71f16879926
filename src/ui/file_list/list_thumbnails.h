#pragma once
// Pictures in the file list: the icon views paint each JPEG and bitmap file's
// thumbnail instead of the generic page icon. Thumbnails come from the shared
// thumbnail cache or are made on a background thread, newest request first:
// the view asks only for the items it paints, so the visible ones come first,
// and nothing the user does waits for one. Until a thumbnail is ready the
// generic icon stands.

#include "ui/file_list/file_item_delegate.h"

#include <QCache>
#include <QHash>
#include <QMutex>
#include <QPersistentModelIndex>
#include <QPixmap>
#include <QSet>
#include <QStringList>
#include <QThreadPool>

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
    bool m_closing = false;
    QThreadPool m_pool;
};
