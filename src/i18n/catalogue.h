#pragma once
// The text catalogue: every visible text has an integer id. German texts stand
// at ids 1..9115, English ones at the German id + 10000. A lookup adds the
// current LanguageOffset; an id without an entry gives the empty text. The
// code names the ids it shows (CatalogueId, catalogue_ids.inc).

#include "i18n/catalogue_ids.h"

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

// The longest text a lookup returns (the original lookup read into a 255-byte
// buffer including the terminating zero).
inline constexpr int kCatalogueTextLimit = 254;

// The entry at id + LanguageOffset.
QString CatalogueText(CatalogueId id);
// The entry at exactly this id (offset already added).
QString CatalogueEntry(int id);

// Every German id the catalogue holds, ascending.
std::vector<int> CatalogueGermanIds();

// --- language state --------------------------------------------------------

// Added to every id before lookup: 0 deutsch, 10000 english. The stored
// "Sprache" value is taken as it is, so an unknown offset gives empty texts.
std::int32_t LanguageOffset();
void SetLanguageOffset(std::int32_t offset);

// 0..4, selects the entry of LanguageNames that every dialog call passes.
std::uint8_t LanguageIndex();
void SetLanguageIndex(std::uint8_t index);

// 0 -> 0, 10000 -> 1, 20000 -> 2, 30000 -> 3, 40000 -> 4, anything else -> 0.
std::uint8_t LanguageIndexForOffset(std::int32_t offset);

inline const std::array<QString, 5> LanguageNames = {
    QStringLiteral("deutsch"), QStringLiteral("english"), QStringLiteral("dutch"),
    QStringLiteral("spanish"), QStringLiteral("french")};

// LanguageNames[LanguageIndex()].
QString CurrentLanguageName();
