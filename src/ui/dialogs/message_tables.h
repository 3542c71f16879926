#pragma once
// The fixed five-language tables of the program's dialogs: button control
// names, results and captions, and the message titles. They are independent of
// the text catalogue so that a dialog reads the same whatever the catalogue
// holds.

#include "jobs/framework/dialog_types.h"

#include <QString>

#include <optional>

inline constexpr int kDialogLanguageCount = 5;

// Index 0..4 of the language whose name ("deutsch", "english", "dutch",
// "spanish", "french") equals `name` after lower-casing; none for any other.
std::optional<int> MatchDialogLanguage(const QString& name);

// The control name of a button ("Yes", "No", "OK", ...).
QString ButtonControlName(DialogButton button);

// The modal result a button returns; 0 for Help, which does not close.
int ButtonResult(DialogButton button);

// The caption of a button in a language (with "&" before the accelerator);
// empty when no language matched.
QString ButtonCaption(DialogButton button, std::optional<int> language);

// The title of a message of kinds 0..3 in a language; empty for other kinds
// and when no language matched.
QString MessageTitle(MessageKind kind, std::optional<int> language);
