#pragma once
// The groups of the similar-picture search as rows of thumbnails, each group
// one row, its proposed keeper in the first column (in bold): each cell shows
// the picture with its size in pixels and bytes, its date and its folder.
// Selected cells are the marked pictures. Thumbnails come from the shared
// thumbnail cache or are made on a background thread, for the rows in view
// first; until one is ready the cell shows its text alone.

#include "base/threads/owned_thread_pool.h"
#include "jobs/similar/find_similar.h"

#include <QCache>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QSet>
#include <QStringList>
#include <QTableWidget>

#include <atomic>
#include <memory>

class SimilarResultView : public QTableWidget {
public:
    explicit SimilarResultView(QWidget* parent);
    ~SimilarResultView() override;

    void setGroups(const QList<SimilarGroup>& groups);
    const QList<SimilarGroup>& groups() const { return m_groups; }
    // The marked (selected) pictures, in row and column order.
    QStringList markedPaths() const;
    // Selects exactly these pictures.
    void markPaths(const QStringList& paths);
    // The picture of a cell; empty for a cell without one.
    QString pathAt(int row, int column) const;
    // Whether the thumbnail of `path` is shown (tests).
    bool hasThumbnail(const QString& path) const;
    // Writes the cells' texts again in the current language.
    void retranslate();

protected:
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void requestVisibleThumbnails();
    void deliver(const QString& path, const QImage& image, int generation);
    QString cellText(const SimilarPicture& picture) const;

    QList<SimilarGroup> m_groups;
    QCache<QString, QPixmap> m_thumbnails; // cost: 1 per thumbnail
    QSet<QString> m_requested;
    QHash<QString, QList<QPair<int, int>>> m_cellsOf;
    int m_generation = 0;                       // thumbnails of an older list are dropped
    std::shared_ptr<std::atomic<bool>> m_alive; // false once the view goes
    OwnedThreadPool m_pool{1};
};
