#pragma once
// Accelerator letters for a group of captions (one menu, one dialog, one
// page): "&" goes before a letter that no other caption of the group uses, so
// Alt and that letter (or the letter alone in an open menu) reaches each
// entry. The catalogue's texts stay as they are; the letters are chosen when
// the texts are put on the controls, for whichever language is shown.
//
// A caption keeps a letter it already carries ("&Abbrechen") while no earlier
// caption of the group has taken it. Otherwise the first free letter wins,
// in this order: the first letters of its words, its other letters, its
// digits; letters outside A..Z (Ü, ß) come last, since not every keyboard
// has them. A caption without a free letter gets none. "&&" is a literal "&".

#include <QChar>
#include <QString>
#include <QStringList>

// The accelerator of `caption`, case-folded; a null QChar when it has none.
QChar MnemonicOf(const QString& caption);

// `caption` without its accelerator marker ("&&" stays).
QString WithoutMnemonic(const QString& caption);

// The captions with their accelerators, in the same order: a caption keeps
// its own letter unless `taken` holds it or an earlier caption gives it too.
// `taken` holds letters (case-folded) that the group may not use and receives
// those used.
QStringList WithMnemonics(const QStringList& captions, QString& taken);
