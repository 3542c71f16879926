#pragma once
// Qt's own file dialogs list sizes and dates in the desktop's locale, which
// need not be the program's language: under the German interface a desktop
// set to English showed English month names. This gives a dialog's lists
// the program's language (the default locale) instead.

class QFileDialog;

// Call right after creating the dialog, before it is given a folder.
void ListInProgramLanguage(QFileDialog& dialog);
