// The pop-up preview over the file list: the list's mouse-move handler and
// the mouse watcher's check.

#include "preview/preview_rules.h"
#include "preview/thumb_form.h"
#include "ui/main_window/hauptform.h"

#include <QApplication>

void THauptForm::ShellListView01MouseMove(const QString& itemPath, QPoint pointer) {
    if (!m_thumbForm)
        return;
    TThumbForm& thumb = *m_thumbForm;
    if (itemPath.isEmpty())
        thumb.hide();
    if (!m_settings.ThumbLinks) {
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
    const QRect window = frameGeometry();
    thumb.move(
        PreviewPlacement(pointer, thumb.frameGeometry().size(), window.top(), window.height()));
}

void THauptForm::MausUeberwachungCheck(QPoint pointer) {
    if (!m_thumbForm || !m_thumbForm->isVisible())
        return;
    // The list's own place on the screen, its right and bottom edges inside.
    const QPoint topLeft = m_fileList->mapToGlobal(QPoint(0, 0));
    const QRect area(topLeft, topLeft + QPoint(m_fileList->width(), m_fileList->height()));
    if (!area.contains(pointer))
        m_thumbForm->hide();
}
