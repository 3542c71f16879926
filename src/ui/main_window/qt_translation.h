#pragma once
// Qt's own texts (file-model headers and type names, standard buttons) and
// the formatting of dates and sizes follow the program's language: German
// loads Qt's German translation and makes German the default locale.

#include <QLocale>

#include <cstdint>

// The locale of a language offset (0 German, 10000 English; others German,
// as the catalogue falls back to its German ids).
QLocale LocaleForLanguage(std::int32_t languageOffset);

// Sets the default locale for `languageOffset` and swaps the installed Qt
// translation. Returns false when the language needs a translation file that
// is not installed (Qt then shows its English texts).
bool ApplyQtTranslation(std::int32_t languageOffset);
