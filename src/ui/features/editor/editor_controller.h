#pragma once
// The tab "Einzel Dateien bearbeiten" (HauptTabSheet02): opening one picture,
// the effect buttons with their one-step undo, the colour panel, and saving
// the result as a JPEG file, and the layout of the two picture panes. The
// controller builds the page and binds it; the picture work is PictureEditor's.

#include "editor/picture_editor.h"
#include "ui/features/feature_controller.h"

#include <functional>
#include <memory>

class QFileDialog;

// The colour operation of one of the twelve colour buttons, by its name;
// None for any other name.
ColourOperation ColourOperationOfControl(const QString& objectName);

class EditorController : public FeatureController {
public:
    explicit EditorController(THauptForm& window);

    void build(const FeaturePlaces& places) override;
    // The panes laid out once before the window first shows.
    void windowCreated() override { FormResize(); }

    void TB02LoadPicClick();
    void TB02SavePicClick();
    // The catalogue texts on the dialogs, and names on their two buttons.
    static void OpenPictureDialogShow(QFileDialog& dialog);
    static void SavePictureDialogShow(QFileDialog& dialog);

    // BitBtnInvertieren ... BitBtnOptimieren.
    void effectClick(EditorEffect effect);
    // The twelve colour buttons; `control` names the one clicked.
    void ColorClick(const QString& control);
    void BitBtnUndoClick();

    // The two picture panes fill the display area's halves; each picture is
    // fitted into its pane at the loaded picture's proportions.
    void FormResize();
    // The loaded picture's size, 1 x 1 until a picture is loaded.
    void setEditorPictureSize(int height, int width);

    // The percentage field's default in the current language's form.
    void applyLanguage() override;

    // The window's work bitmaps exist once it has been created.
    PictureEditor& editor();
    const QString& CurrentPictureFile() const { return m_currentPictureFile; }
    // True while an effect or a file works in the background; the window
    // does not close then, since the work uses its work bitmaps.
    bool busy() const { return m_busy; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showPictures(bool both);
    // Runs `work` on another thread while this one keeps repainting (input
    // is held back), so a 24-megapixel photograph never freezes the window.
    void runKeepingWindowAlive(const std::function<void()>& work);

    std::unique_ptr<PictureEditor> m_editor;
    QString m_currentPictureFile;
    bool m_busy = false;
    int m_editorPictureHeight = 1;
    int m_editorPictureWidth = 1;
};
