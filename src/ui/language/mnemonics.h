#pragma once
// Accelerator letters on the captions of a window, chosen each time its
// texts are put on it (see i18n/mnemonic_letters.h for the choice).
//
// Groups: each menu for itself; the window's captions by what shows at
// once. A page of a tab widget or a stacked widget is a group of its own
// below the captions around it, so two pages that never show together may
// use one letter; a letter the catalogue itself gives ("&Abbrechen") is kept
// window-wide. Buttons, check and radio buttons, group boxes, tab captions,
// menu titles and the labels of a field (its buddy) take letters; a label
// whose buddy cannot take the focus takes none.

class QWidget;

// Run again after a handler changes a caption (a toggle button, the undo
// entry): letters chosen before are recomputed, so nothing is left twice.
void AddMnemonics(QWidget& window);
