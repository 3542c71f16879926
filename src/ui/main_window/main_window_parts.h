#pragma once
// The builders of the main window's menus and toolbar, and the page pieces
// the pages include. Each creates its widgets with their control names; the
// controllers connect the handlers and find controls by name. Captions that
// come from the catalogue are left to ApplyLanguage.

#include "ui/widgets/page_parts.h"

#include <QString>

class QMainWindow;
class QMenu;
class QPushButton;
class QStackedWidget;
class QToolBar;
class QWidget;

// HauptMenu01 on the window and PopupMenu01.
void BuildMainMenu(QMainWindow& window);
// True when an entry of `menu` other than a separator is visible: a menu
// without one would drop down empty, so it is disabled instead.
bool HasVisibleEntries(const QMenu& menu);
QMenu* BuildPopupMenu(QWidget* parent);

// HauptToolBar01.
QToolBar* BuildMainToolBar(QWidget* parent);
// Puts the buttons of `toolbar` into the tab order.
void ReachToolBarByKeyboard(QToolBar* toolbar);
// The standard keys of the menu entries and toolbar buttons (F1 help, F5
// refresh, Ctrl+Z undo, Ctrl+O/Ctrl+S on the editor, Ctrl+Q quit), the
// keys shown beside the file list's pop-up entries, and F10 for the menus.
void AssignShortcuts(QMainWindow& window);
// Tooltips of the toolbar buttons that have no menu entry to take them from,
// in the current language.
void ApplyToolbarTexts(QWidget& window);
// TB01Rueckgaengig acts through HMenuDateiRueckgaengig, so it takes over the
// entry's enabled state whenever that changes. Call once both exist.
void LinkUndoButton(QWidget& window);
