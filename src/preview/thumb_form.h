#pragma once
// TThumbForm: the pop-up preview beside the pointer over the file list. A
// frameless window on top of the others that never takes the focus, its
// opacity from "ThumbTransparenz", a 2-pixel frame (Panel1) around the picture
// (HintImage). One instance lives for the whole run. It gets out of the way
// of every menu and dialog that opens while it shows.

#include "settings/app_settings.h"

#include <QWidget>

class QFrame;
class QLabel;

class TThumbForm : public QWidget {
    Q_OBJECT
public:
    explicit TThumbForm(const AppSettings& settings, QWidget* parent = nullptr);

    // Loads, scales and shows one file; the same path as last time returns
    // at once, a file that is no JPEG or bitmap hides the pop-up.
    void ShowPreview(const QString& path);

    const QString& LastPreviewPath() const { return m_lastPreviewPath; }
    void clearLastPreviewPath() { m_lastPreviewPath.clear(); }
    int PreviewSize() const { return m_previewSize; }
    // "ThumbTransparenz" again, after the options dialog's OK.
    void applyTransparency();
    // The options changed: the opacity applies at once, and the next preview
    // is made anew at the new size, also of the file last shown.
    void applySettings();

    // The pointer over the picture: the pop-up gets out of the way.
    void HintImageMouseMove();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormShow();

    const AppSettings& m_settings;
    QString m_lastPreviewPath;
    int m_previewSize = 100;
    QFrame* m_panel;
    QLabel* m_image;
};
