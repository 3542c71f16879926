#pragma once
// Pushes the catalogue texts onto the main window's controls, found by their
// object names. Called once at start and by the language chooser's OK.

class QWidget;

void ApplyLanguage(QWidget& mainWindow);
