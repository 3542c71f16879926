#pragma once
// Names for screen readers, taken from the texts the window already shows,
// put on again with every change of language:
//
// - a field, spin box, slider or progress bar takes the caption of its label
//   (the label whose buddy it is), or of the control that NameBy() gave it;
// - a control that shows no words of its own (an icon button, "...") takes
//   its tooltip, a tab bar the caption of the page or window it sits on;
// - what has neither takes the own text NameByOwnText() gave it.
//
// Qt's own name wins where it has words (a button's caption); only the two
// explicit links (buddy, NameBy) override it, since Qt would name every field
// of a group box after the group's title.

class QWidget;

// `control` is named after the caption of `captionControl` (a radio button
// that chooses what the field holds, a label that is no buddy).
void NameBy(QWidget* control, QWidget* captionControl);
// `control` is named by the own text `key`, for controls no caption names.
void NameByOwnText(QWidget* control, const char* key);

void NameControls(QWidget& window);

// Whether `widget` is a control a screen reader user reaches and needs a
// name for: it takes the focus by Tab, or it shows progress. The inner
// parts of compound controls (a spin box's field) are not.
bool IsNamedControl(const QWidget* widget);
