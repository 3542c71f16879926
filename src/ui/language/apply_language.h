#pragma once
// Pushes the catalogue texts onto the main window's controls, found by their
// object names. Called once at start and by the language chooser's OK.
//
// Three radio groups are rebuilt and so return to their first item; the two
// result-view toggles take their caption from their state (property "Tag").
// Hints show as tooltip and status-bar text; an id the catalogue lacks gives
// an empty hint.

class QWidget;

void ApplyLanguage(QWidget& mainWindow);
