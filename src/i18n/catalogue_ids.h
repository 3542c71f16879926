#pragma once
// The catalogue entries the code shows, by name (catalogue_ids.inc). An id is
// a CatalogueId, not an int, so a number written by hand does not compile
// where a text is meant; catalogue.cpp checks at compile time that every
// name's number has an entry in both languages.

enum class CatalogueId : int {
#define KELVASTO_CATALOGUE_ID(name, id) name = id,
#include "i18n/catalogue_ids.inc"
#undef KELVASTO_CATALOGUE_ID
};
