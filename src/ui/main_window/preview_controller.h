#pragma once
// The pop-up preview over the file list: the list's mouse-move handler shows
// the picture under the pointer, the mouse watcher's check hides it once the
// pointer has left the list. The controller owns the pop-up and the watcher.

#include "ui/features/feature_controller.h"

#include <QPoint>

#include <memory>

class TMausUeberwachung;
class TThumbForm;

class PreviewController : public FeatureController {
    Q_OBJECT
public:
    explicit PreviewController(THauptForm& window);
    ~PreviewController() override;

    void build(const FeaturePlaces& places) override;
    // The pop-up and the mouse watcher, once the settings are read.
    void windowCreated() override;
    // No check may run once the window is going.
    void windowClosing() override;

    TThumbForm* thumbForm() const { return m_thumbForm.get(); }
    TMausUeberwachung* mouseWatcher() const { return m_mouseWatcher.get(); }
    // The pointer moved over the file list to `pointer` (screen); `itemPath`
    // is the item under it, empty over empty space.
    void ShellListView01MouseMove(const QString& itemPath, QPoint pointer);
    // The mouse watcher's check: hides the pop-up once `pointer` (screen)
    // has left the file list.
    void MausUeberwachungCheck(QPoint pointer);
    // The pop-up preview takes its changed settings (on/off, size, opacity)
    // at once.
    void applyPreviewSettings();

signals:
    void previewSettingsChanged();

private:
    std::unique_ptr<TThumbForm> m_thumbForm;
    std::unique_ptr<TMausUeberwachung> m_mouseWatcher;
};
