#pragma once
// The single-picture editor's work, without its window: opening a picture,
// the effects of its buttons with the one-step undo, the colour percentage as
// the user types it, and the name a saved picture gets.

#include "imaging/adjust_colours.h"
#include "imaging/imaging_context.h"

#include <QString>

// The effect buttons of the editor, in the order of the panel.
enum class EditorEffect {
    Invert,          // BitBtnInvertieren
    Grey,            // BitBtnSchwarzWeiss
    AntiAlias,       // BitBtnAntiAlising, percentage 100
    MirrorTopBottom, // BitBtnSpiegelungHor ("Horizontal Spiegeln")
    MirrorLeftRight, // BitBtnSpiegelungVer ("Vertikal Spiegeln")
    Sharpen,         // BitBtnSchaerfen
    Optimise,        // BitBtnOptimieren
};

// The slow effects show the busy cursor while they run.
bool EffectShowsHourglass(EditorEffect effect);

// A JPEG decoded at full size with the accurate settings, or a bitmap of any
// depth converted to 24 bits. A picture too large for the memory, a file
// that cannot be read or one of another kind raises KelvastoError.
Picture LoadEditorPicture(const QString& path);

// The folder and base name of `chosen` + ".jpeg": whatever the user typed,
// the editor saves a JPEG file with that extension.
QString EditorSavePath(const QString& chosen);

// The percentage field's number: digits with at most one decimal separator,
// the comma or the point, whatever the language ("12,5" and "12.5" are the
// same number); anything else raises KelvastoError.
double ColourPercentValue(const QString& text);
// The field's default in the form of the language (offset 0 German).
QString DefaultColourPercentText(int languageOffset);

// The editor's pictures: the one as loaded (EinzelImage01) and the working
// one (EinzelImage02) with its undo copy (the context's UndoBitmap).
class PictureEditor {
public:
    explicit PictureEditor(ImagingContext& context) : m_context(context) {}

    // Takes a newly opened picture into both views; the undo copy stays.
    void setLoaded(Picture picture);
    const Picture& loaded() const { return m_loaded; }
    const Picture& working() const { return m_working; }
    bool hasUndo() const { return !m_context.UndoBitmap.isEmpty(); }

    // Each takes the undo copy first, then changes the working picture.
    void apply(EditorEffect effect);
    // The percentage is read before the undo copy is taken, so a text that
    // is not a number changes nothing at all.
    void applyColour(ColourOperation operation, const QString& percentText, int channelMode);
    // The working picture as it was before the last effect. Before any
    // effect there is nothing to go back to, and the picture stays.
    void undo();

private:
    void takeUndoCopy();

    ImagingContext& m_context;
    Picture m_loaded;
    Picture m_working;
};
