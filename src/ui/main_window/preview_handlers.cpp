// The pop-up preview over the file list: the list's mouse-move handler and
// the mouse watcher's check.

#include "ui/main_window/preview_controller.h"

#include "preview/maus_ueberwachung.h"
#include "preview/preview_rules.h"
#include "preview/thumb_form.h"

#include <QApplication>
#include <QCursor>

PreviewController::PreviewController(THauptForm& window) : FeatureController(window) {}

PreviewController::~PreviewController() {
    FinishMausUeberwachung(m_mouseWatcher.get());
}

void PreviewController::build(const FeaturePlaces&) {
    connect(window().fileList(), &ShellFileList::pointerMoved, this,
            [this](const QString& path, const QPoint& pointer) {
                GuardedHandler(this, [&] { ShellListView01MouseMove(path, pointer); });
            });
}

void PreviewController::windowCreated() {
    m_mouseWatcher = std::make_unique<TMausUeberwachung>(
        this, [this] { MausUeberwachungCheck(QCursor::pos()); });
    m_thumbForm = std::make_unique<TThumbForm>(window().settings());
}

void PreviewController::windowClosing() {
    FinishMausUeberwachung(m_mouseWatcher.get());
}

void PreviewController::ShellListView01MouseMove(const QString& itemPath, QPoint pointer) {
    if (!m_thumbForm)
        return;
    TThumbForm& thumb = *m_thumbForm;
    if (itemPath.isEmpty())
        thumb.hide();
    if (!window().settings().ThumbLinks) {
        thumb.hide();
        thumb.clearLastPreviewPath();
        return;
    }
    // Not over a menu or a dialog the user has open; the file is shown when
    // the pointer comes back to it afterwards.
    if (QApplication::activePopupWidget() || QApplication::activeModalWidget()) {
        thumb.hide();
        thumb.clearLastPreviewPath();
        return;
    }
    if (itemPath.isEmpty())
        return;
    thumb.ShowPreview(itemPath);
    // Also when nothing was loaded: a visible pop-up follows the pointer.
    const QRect window = this->window().frameGeometry();
    thumb.move(
        PreviewPlacement(pointer, thumb.frameGeometry().size(), window.top(), window.height()));
}

void PreviewController::MausUeberwachungCheck(QPoint pointer) {
    if (!m_thumbForm || !m_thumbForm->isVisible())
        return;
    // The list's own place on the screen, its right and bottom edges inside.
    const ShellFileList* list = window().fileList();
    const QPoint topLeft = list->mapToGlobal(QPoint(0, 0));
    const QRect area(topLeft, topLeft + QPoint(list->width(), list->height()));
    if (!area.contains(pointer))
        m_thumbForm->hide();
}

void PreviewController::applyPreviewSettings() {
    if (m_thumbForm)
        m_thumbForm->applySettings();
    emit previewSettingsChanged();
}
