#pragma once
// kelvasto-batch speaks the user's language: German for a German locale,
// English otherwise, for every line of one run (help, errors, counters, the
// engine's closing messages).

#include <QByteArray>

// True when the locale that names the message language (the first set one of
// LC_ALL, LC_MESSAGES, LANG) is German.
bool LocaleIsGerman(const QByteArray& lcAll, const QByteArray& lcMessages, const QByteArray& lang);

// Switches the catalogue to the language of this process's environment.
void ApplyLocaleLanguage();
