#pragma once
// The pieces the job pages are built from: each gives a new widget its
// control name, and the destination group is shared by the index page
// ("Idx") and the batch-functions page ("Fkt").

#include "base/number_option.h"
#include "fs/result_destination.h"

#include <QString>

class QBoxLayout;
class QEvent;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QWidget;

namespace parts {
// Gives a new widget its control name.
template <class T> T* Named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}
// A job's push button, at least `designWidth` wide and as wide as its
// caption needs in the current font.
QPushButton* Button(QWidget* parent, const char* name, int designWidth = 170);
// The integer tag of a toggle button (0 or 1).
int Tag(const QWidget* widget);
void SetTag(QWidget* widget, int tag);
// A read-only field that the user clicks to choose a folder.
QLineEdit* ReadOnlyField(QWidget* parent, const char* name);
// Whether `event` on such a field opens its chooser: a click, or Enter or
// Space while it has the focus.
bool OpensChooser(const QEvent* event);
// An edit with up-down arrows; with readOnly the user changes it by the
// arrows only.
QSpinBox* UpDownEdit(QWidget* parent, const char* name, int minimum, int maximum, int step,
                     int value, bool readOnly = true);
// The spin box of a declared number option: named, with its limits, step
// and default.
QSpinBox* NumberEdit(QWidget* parent, const NumberOption& option, bool readOnly = true);
// Gives a spin box made elsewhere the option's limits and step.
void SetNumberLimits(QSpinBox* edit, const NumberOption& option);
// Two speed buttons of one group, the first down.
void SpeedButtonPair(QWidget* parent, QBoxLayout* layout, const char* first, const char* second);
// The destination group of the index page (prefix "Idx") or of the
// batch-functions page ("Fkt").
QGroupBox* DestinationGroup(QWidget* parent, const QString& prefix);
// A page's `row` holds the rest of the page, then a column with `group` (a
// destination group). Keeps the column beside the rest while the page is
// wide enough for both, and puts it below them, the group's choices across,
// when it is not (a large font, a scaled screen): the page then grows
// taller rather than cutting the group off.
void DestinationBesideOrBelow(QWidget* page, QBoxLayout* row, QGroupBox* group);
// The caption label of `field`: its buddy, so Alt and the caption's letter
// reach the field and a screen reader names the field by it.
QLabel* Caption(QWidget* parent, const char* name, QWidget* field);
// A short text field of a naming group.
QLineEdit* NameEdit(QWidget* parent, const char* name);
// A page's "recursive" check box.
QCheckBox* Rekursiv(QWidget* parent, const char* name);
// A panel of the window with a design height: it keeps that height as long
// as its content fits, and grows with a larger desktop font rather than
// cutting its content off.
void KeepDesignHeight(QWidget* panel, int height);
} // namespace parts

// What the destination group of the index page (prefix "Idx") or of the
// batch-functions page ("Fkt") chooses.
DestinationChoice ReadDestinationGroup(const QWidget& window, const QString& prefix);
