// The batch frame on the window: locking while a job runs and the progress
// watchers.

#include "ui/main_window/hauptform.h"

#include "jobs/framework/collection_watcher.h"
#include "jobs/framework/job_controls.h"
#include "ui/main_window/browser_controller.h"
#include "ui/main_window/main_window_parts.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeView>

namespace {
QString SeriesTabOf(JobKind kind) {
    switch (kind) {
    case JobKind::DefectScan:
    case JobKind::Reduction:
        return QStringLiteral("SerienTabSheet01");
    case JobKind::IndexPictures:
    case JobKind::Thumbnails:
        return QStringLiteral("SerienTabSheet02");
    case JobKind::JpegFunctions:
    case JobKind::BmpToJpeg:
        return QStringLiteral("SerienTabSheet03");
    case JobKind::DuplicateSearch:
    case JobKind::SimilarSearch:
        return QStringLiteral("SerienTabSheet04");
    }
    return {};
}
} // namespace

void THauptForm::enableMenus(bool locked) {
    for (const char* name : {"HMenu_Datei", "HMenu_Aktionen", "HMenu_Info"}) {
        const QMenu* menu = control<QMenu>(QString::fromLatin1(name));
        menu->menuAction()->setEnabled(!locked && HasVisibleEntries(*menu));
    }
}

void THauptForm::setLocked(JobKind kind, bool locked) {
    enableMenus(locked);
    control<QWidget>(QStringLiteral("HauptPageControl01"))->setEnabled(!locked);
    control<QWidget>(QStringLiteral("HauptToolBar01"))->setEnabled(!locked);
    controller<BrowserController>().folderTree()->setEnabled(!locked);
    fileList()->setEnabled(!locked);
    const QString tab = SeriesTabOf(kind);
    if (!tab.isEmpty())
        control<QWidget>(tab)->setEnabled(!locked);
}

void THauptForm::LockUiForJob(JobKind kind) {
    // Locking disables the focused control, and Qt moves the focus on to
    // the next one it can take (the tab bar at the top).
    if (m_lockDepth++ == 0) {
        QWidget* focused = QApplication::focusWidget();
        m_focusBeforeJob = focused && focused->window() == this ? focused : focusWidget();
    }
    setLocked(kind, true);
}

void THauptForm::UnlockUiAfterJob(JobKind kind) {
    if (m_lockDepth > 0)
        --m_lockDepth;
    setLocked(kind, false);
    if (m_lockDepth == 0)
        for (FeatureController* feature : m_controllers)
            feature->jobEnded();
    // Back where the user started the job; a message box shown after this
    // hands the focus back here when it closes.
    if (m_lockDepth == 0 && m_focusBeforeJob && m_focusBeforeJob->isEnabled() &&
        m_focusBeforeJob->isVisibleTo(this))
        m_focusBeforeJob->setFocus(Qt::OtherFocusReason);
}

void THauptForm::startWatcher(WatcherKind kind) {
    finishWatcher();
    // Runs on this thread, under ProgressLock (the watcher takes it).
    QPointer<QLabel> counter = control<QLabel>(WatcherLabel(kind));
    m_watcher = StartCollectionWatcher(kind, this, [this, counter] {
        if (counter) {
            counter->setText(QString::number(m_lists.AlteDateinamen.size()));
            counter->repaint();
        }
    });
}

void THauptForm::stopWatcher() {
    if (m_watcher)
        m_watcher->requestStop();
}

void THauptForm::finishWatcher() {
    if (!m_watcher)
        return;
    m_watcher->requestStop();
    // The watcher waits for this thread to run its update, so keep handing
    // events over instead of blocking on it.
    while (m_watcher && !m_watcher->isFinished())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (m_watcher) {
        m_watcher->wait();
        delete m_watcher.data();
    }
}
