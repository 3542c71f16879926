#pragma once
// The tab "Einzel Dateien bearbeiten" (HauptTabSheet02): opening one picture,
// the effect buttons with their one-step undo, the colour panel, and saving
// the result as a JPEG file. The page's widgets are built with the window;
// this controller binds them. The picture work is PictureEditor's.

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

    // The percentage field's default in the current language's form.
    void applyLanguage() override;

    // The window's work bitmaps exist once it has been created.
    PictureEditor& editor();
    const QString& CurrentPictureFile() const { return m_currentPictureFile; }
    // True while an effect or a file works in the background; the window
    // does not close then, since the work uses its work bitmaps.
    bool busy() const { return m_busy; }

private:
    void showPictures(bool both);
    // Runs `work` on another thread while this one keeps repainting (input
    // is held back), so a 24-megapixel photograph never freezes the window.
    void runKeepingWindowAlive(const std::function<void()>& work);

    std::unique_ptr<PictureEditor> m_editor;
    QString m_currentPictureFile;
    bool m_busy = false;
};
