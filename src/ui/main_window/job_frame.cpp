// The batch frame on the window: locking while a job runs, the progress
// watchers, the abort buttons and the undo entry after a defect scan.

#include "ui/main_window/hauptform.h"

#include "engine/collection_watcher.h"
#include "i18n/catalogue.h"
#include "ui/main_window/main_window_parts.h"

#include <QAction>
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
        return QStringLiteral("SerienTabSheet04");
    }
    return {};
}
} // namespace

void THauptForm::setLocked(JobKind kind, bool locked) {
    for (const char* menu : {"HMenu_Datei", "HMenu_Aktionen", "HMenu_Info"})
        control<QMenu>(QString::fromLatin1(menu))->menuAction()->setEnabled(!locked);
    control<QWidget>(QStringLiteral("HauptPageControl01"))->setEnabled(!locked);
    control<QWidget>(QStringLiteral("HauptToolBar01"))->setEnabled(!locked);
    m_tree->setEnabled(!locked);
    m_fileList->setEnabled(!locked);
    const QString tab = SeriesTabOf(kind);
    if (!tab.isEmpty())
        control<QWidget>(tab)->setEnabled(!locked);
}

void THauptForm::LockUiForJob(JobKind kind) {
    ++m_lockDepth;
    setLocked(kind, true);
}

void THauptForm::UnlockUiAfterJob(JobKind kind) {
    if (m_lockDepth > 0)
        --m_lockDepth;
    setLocked(kind, false);
}

void THauptForm::startWatcher(WatcherKind kind) {
    finishWatcher();
    // Runs on this thread, under ProgressLock (the watcher takes it).
    auto counting = [this](const char* label) {
        QPointer<QLabel> counter = control<QLabel>(QString::fromLatin1(label));
        return [this, counter] {
            if (counter) {
                counter->setText(QString::number(m_lists.AlteDateinamen.size()));
                counter->repaint();
            }
        };
    };
    switch (kind) {
    case WatcherKind::DefekteJPEGs:
        m_watcher = new TDefekteJPEGs(this, counting("Label_DDS05"));
        break;
    case WatcherKind::JPEGVerkleinern:
        m_watcher = new TJPEGVerkleinern(this, counting("Label_DV06"));
        break;
    case WatcherKind::FortschrittDuplikate:
        m_watcher = new TFortschrittDuplikate(this, counting("Label_Dup02"));
        break;
    }
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

void THauptForm::prepareMoveUndo(bool moveMode) {
    QAction* entry = control<QAction>(QStringLiteral("HMenuDateiRueckgaengig"));
    QAction* button = control<QAction>(QStringLiteral("TB01Rueckgaengig"));
    entry->setText(CatalogueText(801));
    entry->setToolTip(CatalogueText(806));
    entry->setStatusTip(CatalogueText(806));
    button->setToolTip(CatalogueText(801));
    button->setStatusTip(CatalogueText(801));
    entry->setEnabled(moveMode);
    if (moveMode)
        button->setEnabled(true);
}

void THauptForm::BitBtn_DDS02Click() {
    parts::SetTag(control<QWidget>(QStringLiteral("BitBtn_DDS02")), 0);
    m_stopFlags.JpegJobStop = 1;
}

void THauptForm::BitBtn_DV02Click() {
    parts::SetTag(control<QWidget>(QStringLiteral("BitBtn_DV02")), 0);
    m_stopFlags.JpegJobStop = 1;
}

void THauptForm::FktBitBtn01Click() {
    m_stopFlags.BatchJobStop = 1;
}

void THauptForm::BitBtnDupAbbrechenClick() {
    m_stopFlags.BatchJobStop = 1;
}
